#pragma once

#include "runtime/seam.h"

// Include after our headers: windows.h defines macros with their names.
#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <shlobj.h>

// The names platform/ui/dialogs.h gives are the platform's own, not windows.h's ANSI ones.
#undef SHBrowseForFolder
#undef SHGetPathFromIDList
#undef BROWSEINFO

namespace platform::win32 {

// The real dialogs, which wait for a user; tests answer in their place.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual BOOL openFile(OPENFILENAMEW& dialog) { return ::GetOpenFileNameW(&dialog); }
    // The caller frees the item with CoTaskMemFree.
    virtual ::LPITEMIDLIST browse(BROWSEINFOW& browse) { return ::SHBrowseForFolderW(&browse); }
};

} // namespace platform::win32
