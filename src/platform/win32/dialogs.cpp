#include "platform/ui/dialogs.h"

#include "platform/win32/ansi.h"
#include "runtime/buffers.h"
#include "runtime/errors.h"

// Last: it includes windows.h.
#include "platform/win32/dialogs.h"

#include <objbase.h>

namespace {
// Longer than any path the dialog can return.
constexpr DWORD pathCapacity = 32768;

std::wstring wide(const std::string& utf8) {
    std::wstring text;
    return platform::win32::toWide(utf8, text) ? text : std::wstring();
}

// COM for the shell's dialogs, when the thread has not entered it already.
class ComScope {
public:
    ComScope() : entered_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (entered_)
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool entered_;
};

platform::win32::Dialogs realDialogs;
} // namespace

int platform::GetOpenFileNameA(OPENFILENAME& ofn) {
    if (ofn.nMaxFile > ofn.lpstrFile.size() || ofn.nMaxFileTitle > ofn.lpstrFileTitle.size())
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument");
    // The list ends in two NULs whatever the caller wrote.
    const std::wstring filter = wide(ofn.lpstrFilter) + std::wstring(2, L'\0');
    const std::wstring title = wide(ofn.lpstrTitle);
    const std::wstring initialDir = wide(ofn.lpstrInitialDir);
    std::wstring file(pathCapacity, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = reinterpret_cast<::HWND>(ofn.hwndOwner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = ofn.nFilterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = pathCapacity;
    dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The folder changes here, once the result is known to fit.
    dialog.Flags = (ofn.Flags | OFN_EXPLORER | OFN_NOCHANGEDIR) & ~OFN_ALLOWMULTISELECT;
    if (!use<win32::Dialogs>(realDialogs).openFile(dialog))
        return 0;

    file.resize(file.find(L'\0'));
    const std::string path = win32::fromWide(file);
    const std::size_t offset = std::min<std::size_t>(dialog.nFileOffset, file.size());
    const std::string name = win32::fromWide(file.substr(offset));
    if (path.empty() || path.size() >= ofn.nMaxFile ||
        (ofn.nMaxFileTitle > 0 && name.size() >= ofn.nMaxFileTitle))
        return 0;
    putTerminated(path, ofn.lpstrFile, ofn.nMaxFile);
    if (ofn.nMaxFileTitle > 0)
        putTerminated(name, ofn.lpstrFileTitle, ofn.nMaxFileTitle);
    // A folder removed since the choice leaves the current directory where it was.
    if (!(ofn.Flags & OFN_NOCHANGEDIR) && offset > 0)
        static_cast<void>(::SetCurrentDirectoryW(file.substr(0, offset).c_str()));
    return 1;
}

platform::LPITEMIDLIST platform::SHBrowseForFolder(const BROWSEINFO& bi) {
    ComScope com;
    const std::wstring title = wide(bi.lpszTitle);
    BROWSEINFOW browse{};
    browse.lpszTitle = title.c_str();
    ::LPITEMIDLIST chosen = use<win32::Dialogs>(realDialogs).browse(browse);
    if (!chosen)
        return nullptr;
    // Control Panel and the like have no path: an empty one says so.
    std::wstring path(MAX_PATH + 1, L'\0');
    if (::SHGetPathFromIDListW(chosen, path.data()))
        path.resize(path.find(L'\0'));
    else
        path.clear();
    ::CoTaskMemFree(chosen);
    return std::make_unique<ITEMIDLIST>(ITEMIDLIST{win32::fromWide(path)});
}

bool platform::SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer) {
    if (!pidl || pidl->path.empty())
        return false;
    return putTerminated(pidl->path, buffer, buffer.size());
}
