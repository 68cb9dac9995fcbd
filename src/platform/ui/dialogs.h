#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

// The open-file dialog and the folder browser.
namespace platform {

inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_NOCHANGEDIR = 0x8;
inline constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
inline constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;

// The open-file dialog's record, with the fields that mean something here.
struct OPENFILENAME {
    QWidget* hwndOwner = nullptr; // the dialog is modal to this window
    // Pairs of label and pattern list ("*.txt;*.log"), each NUL-terminated, ending in a NUL.
    QString lpstrFilter;
    std::uint32_t nFilterIndex = 0; // from 1
    std::string lpstrFile;          // buffer: receives the chosen path, NUL-terminated
    std::uint32_t nMaxFile = 0;
    std::string lpstrFileTitle; // buffer: receives the file name without its folder
    std::uint32_t nMaxFileTitle = 0;
    QString lpstrInitialDir;
    QString lpstrTitle;
    std::uint32_t Flags = 0;
};

// Shows the open-file dialog for one existing file and waits until it closes. Nonzero when a
// file was chosen; 0 after a cancel, or when the path or name does not fit its buffer. Without
// OFN_NOCHANGEDIR a choice makes the chosen file's folder the current directory.
int GetOpenFileNameA(OPENFILENAME& ofn);

// The folder browser's record.
struct BROWSEINFO {
    QWidget* hwndOwner = nullptr; // none: the browser leaves every window usable
    QString lpszTitle;
};

// The item confirmed in the browser; it releases itself.
struct ITEMIDLIST {
    QString path; // empty for an item that has no file-system path
};
using LPITEMIDLIST = std::unique_ptr<ITEMIDLIST>;

// Shows the folder browser and waits in a local event loop until it closes, so that the
// program's other windows stay usable meanwhile. Null after a cancel.
LPITEMIDLIST SHBrowseForFolder(const BROWSEINFO& bi);

// Writes the item's file-system path, NUL-terminated, into `buffer`; false, with the buffer
// left as it was, for an item without a path or a path that does not fit.
bool SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer);

// One entry of a file dialog's type list: its label and the patterns it matches.
struct FileFilter {
    QString label;
    QStringList patterns; // wildcards as Qt reads them: "*" matches every name
};

// Reads a NUL-separated filter list. "*.*" matches every file, names without a dot included.
std::vector<FileFilter> parseFilterList(const QString& list);

// Who shows the dialogs: the real ones, or scripted stand-ins in tests.
class DialogHost {
public:
    struct OpenFileRequest {
        QWidget* owner;
        QString title;
        QString initialDir;
        std::vector<FileFilter> filters;
        int selectedFilter; // index into filters
    };

    virtual ~DialogHost() = default;
    // One existing file: its full path, or nothing after a cancel.
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
    // The confirmed item's path (empty when it has none), or nothing after a cancel.
    virtual std::optional<QString> browseForFolder(QWidget* owner, const QString& title) = 0;
};

} // namespace platform
