#include "app/frmzintra.h"
#include "platform/process/process.h"
#include "platform/registry/shellobject.h"
#include "runtime/errors.h"
#include "shellverb/verb.h"

void frmzintra::mnucont_Click() {
    auto WshShell = platform::CreateObject("WScript.Shell");
    const platform::ResumeNext step;
    if (!mnucont.Checked()) {
        step([&] { WshShell->RegWrite(shellverb::verbKey(), shellverb::verbText()); });
        step([&] {
            WshShell->RegWrite(shellverb::commandKey(),
                               shellverb::commandLine(apppath, platform::exeName()));
        });
    } else {
        step([&] { WshShell->RegDelete(shellverb::commandKey()); });
        step([&] { WshShell->RegDelete(shellverb::verbKey()); });
    }
    // The mark shows what the registry now holds, not what was attempted: a user who may not
    // change the machine must not see the verb as registered.
    std::string registered;
    step([&] { registered = WshShell->RegRead(shellverb::verbKey()); });
    mnucont.setChecked(!registered.empty());
    WshShell.reset();
}

void frmzintra::probeContextMenu(bool resumeNextInForce) {
    const platform::ResumeNext step;
    std::unique_ptr<platform::ShellObject> WshShell;
    const auto create = [&] { WshShell = platform::CreateObject("WScript.Shell"); };
    if (resumeNextInForce)
        step(create);
    else
        create();
    std::string registered;
    if (WshShell)
        step([&] { registered = WshShell->RegRead(shellverb::verbKey()); });
    if (!registered.empty())
        mnucont.setChecked(true);
}
