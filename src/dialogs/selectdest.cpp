#include "app/frmzintra.h"
#include "dialogs/browsepath.h"
#include "platform/files/longpath.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"

void frmzintra::Image2_Click() {
    selectdest();
}

void frmzintra::selectdest() {
    browsefolder();
    setText(txtoutput, destfolder);
}

void frmzintra::browsefolder() {
    using namespace platform;

    // No owner: the main window stays usable while the browser is open.
    BROWSEINFO bi;
    bi.hwndOwner = nullptr;
    bi.lpszTitle = "Select the destination folder.";
    std::string path;

    if (const LPITEMIDLIST list = SHBrowseForFolder(bi)) {
        std::string buffer(MAX_PATH, '\0');
        SHGetPathFromIDList(list.get(), buffer);
        const dialogs::BrowsedFolder chosen = dialogs::normaliseBrowsedPath(buffer);
        if (chosen.invalid)
            MsgBox(dialogs::invalidPathMessage(), vbOKOnly);
        path = chosen.folder;
    }
    destfolder = path;
}
