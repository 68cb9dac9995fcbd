#include "app/frmzintra.h"
#include "platform/registry/shellobject.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/process.h"
#include "shellverb/verb.h"

#include <QAction>

void frmzintra::mnucont_Click() {
    auto WshShell = platform::CreateObject(QStringLiteral("WScript.Shell"));
    const platform::ResumeNext step;
    if (!mnucont->isChecked()) {
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
    QString registered;
    step([&] { registered = WshShell->RegRead(shellverb::verbKey()); });
    mnucont->setChecked(!registered.isEmpty());
    WshShell.reset();
}

void frmzintra::probeContextMenu(bool resumeNextInForce) {
    const platform::ResumeNext step;
    std::unique_ptr<platform::ShellObject> WshShell;
    const auto create = [&] { WshShell = platform::CreateObject(QStringLiteral("WScript.Shell")); };
    if (resumeNextInForce)
        step(create);
    else
        create();
    QString registered;
    if (WshShell)
        step([&] { registered = WshShell->RegRead(shellverb::verbKey()); });
    if (!registered.isEmpty())
        mnucont->setChecked(true);
}
