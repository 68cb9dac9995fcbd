#include "app/frmzintra.h"
#include "platform/files/longpath.h"
#include "platform/process/process.h"
#include "platform/ui/dialogs.h"
#include "runtime/text.h"

void frmzintra::Image1_Click() {
    using namespace platform;
    using namespace std::string_literals;

    OPENFILENAME ofn;
    ofn.hwndOwner = Me.hWnd();
    ofn.lpstrFilter = "All Files (*.*)\0*.*\0"s;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = std::string(MAX_PATH, '\0');
    ofn.nMaxFile = MAX_PATH - 1;
    ofn.lpstrFileTitle = std::string(MAX_PATH, '\0');
    ofn.nMaxFileTitle = MAX_PATH - 1;
    ofn.lpstrInitialDir = CurDir();
    ofn.lpstrTitle = "Select a File to Copy";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

    if (GetOpenFileNameA(ofn) == 0)
        return;
    setText(txtinput, Trim(ofn.lpstrFile));
    selectdest();
}
