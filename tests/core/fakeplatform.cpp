// The platform calls of the windows, the registry and the Internet, answered from fake::script
// and noted in its log. Files, long paths and the process stay real.
#include "fakes.h"
#include "platform/inet/inet.h"
#include "platform/registry/shellobject.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shell.h"
#include "platform/ui/window.h"
#include "runtime/buffers.h"
#include "runtime/errors.h"

namespace platform {

using fake::note;
using fake::script;

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    note("box " + prompt + (title.empty() ? "" : " [" + title + ']'));
    return buttons != vbYesNo ? vbOK : script.yes ? vbYes : vbNo;
}

int GetOpenFileNameA(OPENFILENAME& ofn) {
    return script.file && putTerminated(*script.file, ofn.lpstrFile, ofn.nMaxFile);
}

LPITEMIDLIST SHBrowseForFolder(const BROWSEINFO&) {
    if (script.browserRaises)
        Raise(err::OutOfMemory, "Out of memory");
    return script.folder ? std::make_unique<ITEMIDLIST>(*script.folder) : nullptr;
}

bool SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer) {
    return !pidl->path.empty() && putTerminated(pidl->path, buffer, buffer.size());
}

void ShellExecuteA(HWND, const std::string& operation, const std::string& file, const std::string&,
                   int) {
    note(operation + ' ' + file);
}

void DoEvents() {
    note("events");
}
CopyInProgress::CopyInProgress() = default;
CopyInProgress::~CopyInProgress() = default;

void ShellObject::RegWrite(const std::string& name, const std::string& text) {
    if (script.registryReadOnly)
        Raise(err::AccessDenied, "Permission denied");
    script.registry[name] = text;
}

std::string ShellObject::RegRead(const std::string& name) {
    if (!script.registry.contains(name))
        Raise(err::NotFound, "Unable to open registry key");
    return script.registry[name];
}

void ShellObject::RegDelete(const std::string& name) {
    if (script.registryReadOnly || !script.registry.erase(name))
        Raise(err::NotFound, "Unable to remove registry key");
}

std::unique_ptr<ShellObject> CreateObject(const std::string&) {
    if (script.noShellObject)
        Raise(err::CannotCreateObject, "ActiveX component can't create object");
    return std::make_unique<ShellObject>();
}

HINTERNET InternetOpenA(const std::string&, std::uint32_t, const char*, const char*,
                        std::uint32_t) {
    return 1;
}

HINTERNET InternetOpenUrlA(HINTERNET, const std::string&, const char*, std::uint32_t, std::uint32_t,
                           std::uintptr_t) {
    return script.body ? 2 : 0;
}

bool InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead,
                      std::uint32_t& bytesRead) {
    bytesRead = file ? std::uint32_t(script.body->copy(static_cast<char*>(buffer), toRead)) : 0;
    return file != 0;
}

bool InternetCloseHandle(HINTERNET) {
    return true;
}

} // namespace platform
