#include "app/frmzintra.h"
#include "platform/files/longpath.h"
#include "platform/runtime/process.h"
#include "platform/runtime/text.h"
#include "platform/ui/dialogs.h"

void frmzintra::Image1_Click() {
    using namespace platform;

    OPENFILENAME ofn;
    ofn.hwndOwner = this;
    ofn.lpstrFilter = QStringLiteral("All Files (*.*)\0*.*\0");
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = std::string(MAX_PATH, '\0');
    ofn.nMaxFile = MAX_PATH - 1;
    ofn.lpstrFileTitle = std::string(MAX_PATH, '\0');
    ofn.nMaxFileTitle = MAX_PATH - 1;
    ofn.lpstrInitialDir = CurDir();
    ofn.lpstrTitle = QStringLiteral("Select a File to Copy");
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

    if (GetOpenFileNameA(ofn) == 0)
        return;
    setText(txtinput, Trim(fromAnsi(ofn.lpstrFile)));
    selectdest();
}
