#include "app/frmzintra.h"

#include "platform/process/process.h"
#include "runtime/text.h"

void frmzintra::Form_Load() {
    apppath = platform::withSeparator(platform::appPath());
    const std::string argumentText = platform::Command();
    const bool resumeNext = !argumentText.empty();
    if (resumeNext)
        takeCommandLine(argumentText);
    probeContextMenu(resumeNext);
}

void frmzintra::setText(ui::TextBox& box, const std::string& text) {
    box.setText(platform::textBoxText(text));
}
