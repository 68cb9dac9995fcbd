#pragma once

#include "platform/ui/hwnd.h"

#include <cstdint>
#include <memory>
#include <string>

// The open-file dialog and the folder browser.
namespace platform {

inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_NOCHANGEDIR = 0x8;
inline constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
inline constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;

// The open-file dialog's record, with the fields that mean something here.
struct OPENFILENAME {
    HWND hwndOwner = nullptr; // the dialog is modal to this window
    // Pairs of label and pattern list ("*.txt;*.log"), each NUL-terminated, ending in a NUL.
    std::string lpstrFilter;
    std::uint32_t nFilterIndex = 0; // from 1
    std::string lpstrFile;          // buffer: receives the chosen path, NUL-terminated
    std::uint32_t nMaxFile = 0;
    std::string lpstrFileTitle; // buffer: receives the file name without its folder
    std::uint32_t nMaxFileTitle = 0;
    std::string lpstrInitialDir;
    std::string lpstrTitle;
    std::uint32_t Flags = 0;
};

// Shows the open-file dialog for one existing file and waits until it closes. Nonzero when a
// file was chosen; 0 after a cancel, or when the path or name does not fit its buffer. Without
// OFN_NOCHANGEDIR a choice makes the chosen file's folder the current directory.
int GetOpenFileNameA(OPENFILENAME& ofn);

// The folder browser's record.
struct BROWSEINFO {
    HWND hwndOwner = nullptr; // none: the browser leaves every window usable
    std::string lpszTitle;
};

// The item confirmed in the browser; it releases itself.
struct ITEMIDLIST {
    std::string path; // empty for an item that has no file-system path
};
using LPITEMIDLIST = std::unique_ptr<ITEMIDLIST>;

// Shows the folder browser and waits in a local event loop until it closes, so that the
// program's other windows stay usable meanwhile. Null after a cancel.
LPITEMIDLIST SHBrowseForFolder(const BROWSEINFO& bi);

// Writes the item's file-system path, NUL-terminated, into `buffer`; false, with the buffer
// left as it was, for an item without a path or a path that does not fit.
bool SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer);

} // namespace platform
