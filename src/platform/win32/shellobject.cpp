#include "platform/registry/shellobject.h"

#include "platform/win32/ansi.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <windows.h>

namespace platform {

namespace {
ObjectFactory realFactory;

const std::string badArgument = "Invalid procedure call or argument";

// Root names and ProgIDs are ASCII, and compare without regard to its case.
bool sameName(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// "ROOT\Key\Sub\Value": the root, the key below it and the value's name (empty when the name
// ends in "\"), in UTF-8 as given.
struct Name {
    HKEY root;
    std::string keyPath;
    std::string valueName;
};

std::optional<Name> parseName(const std::string& name) {
    static const std::array<std::pair<const char*, HKEY>, 6> roots{{
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKCU", HKEY_CURRENT_USER},
    }};
    const std::size_t last = name.rfind('\\');
    if (last == std::string::npos)
        return std::nullopt;
    const std::size_t first = name.find('\\');
    const std::string rootName = name.substr(0, first);
    const auto root = std::find_if(roots.begin(), roots.end(),
                                   [&](const auto& r) { return sameName(rootName, r.first); });
    if (root == roots.end())
        return std::nullopt;
    const std::string keyPath =
        first == last ? std::string() : name.substr(first + 1, last - first - 1);
    // Every key name below the root is a name: none empty, none with control characters.
    if (first != last) {
        for (std::size_t start = 0;;) {
            const std::size_t end = std::min(keyPath.find('\\', start), keyPath.size());
            if (end == start || std::any_of(keyPath.begin() + std::ptrdiff_t(start),
                                            keyPath.begin() + std::ptrdiff_t(end),
                                            [](char c) { return std::uint8_t(c) < 0x20; }))
                return std::nullopt;
            if (end == keyPath.size())
                break;
            start = end + 1;
        }
    }
    return Name{root->second, keyPath, name.substr(last + 1)};
}

Name nameOrRaise(const std::string& name) {
    const auto parsed = parseName(name);
    if (!parsed)
        Raise(err::NotFound, "Invalid root in registry key \"" + name + "\".");
    return *parsed;
}

int fromSystem(LONG code) {
    return int(0x80070000u | (DWORD(code) & 0xFFFFu));
}

std::string readingFailed(const std::string& name) {
    return "Unable to open registry key \"" + name + "\" for reading.";
}
std::string removingFailed(const std::string& name) {
    return "Unable to remove registry key \"" + name + "\".";
}

// An open key. Closed explicitly where the outcome depends on it; closed on the way out of a
// call that already failed, when nothing more can be reported.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_)
            static_cast<void>(::RegCloseKey(key_));
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }
    LONG close() { return ::RegCloseKey(std::exchange(key_, nullptr)); }

private:
    HKEY key_ = nullptr;
};

// The value name as RegSetValueEx and friends take it: null for the default value.
const char* valueArgument(const std::string& ansiName) {
    return ansiName.empty() ? nullptr : ansiName.c_str();
}
} // namespace

void ShellObject::RegWrite(const std::string& name, const std::string& text) {
    const Name target = nameOrRaise(name);
    std::string keyPath, valueName, data;
    // The registry holds ANSI text here: what it cannot hold exactly is not written at all.
    if (!win32::toAnsi(target.keyPath, keyPath) || !win32::toAnsi(target.valueName, valueName) ||
        !win32::toAnsi(text.substr(0, text.find('\0')), data))
        Raise(err::InvalidProcedureCall, badArgument);
    OpenKey key;
    LONG result =
        ::RegCreateKeyExA(target.root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.out(), nullptr);
    if (result == ERROR_SUCCESS)
        result =
            ::RegSetValueExA(key.get(), valueArgument(valueName), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
    if (result == ERROR_SUCCESS)
        result = key.close();
    if (result != ERROR_SUCCESS)
        Raise(fromSystem(result), "Unable to save registry key \"" + name + "\".");
}

std::string ShellObject::RegRead(const std::string& name) {
    const Name target = nameOrRaise(name);
    std::string keyPath, valueName;
    if (!win32::toAnsi(target.keyPath, keyPath) || !win32::toAnsi(target.valueName, valueName))
        Raise(err::NotFound, readingFailed(name));
    OpenKey key;
    LONG result = ::RegOpenKeyExA(target.root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.out());
    std::string data;
    DWORD type = 0;
    // The value may grow between asking its size and reading it: ask again.
    for (DWORD size = 0; result == ERROR_SUCCESS || result == ERROR_MORE_DATA;) {
        data.assign(size, '\0');
        result = ::RegQueryValueExA(key.get(), valueArgument(valueName), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_SUCCESS && size <= data.size()) {
            data.resize(size);
            break;
        }
    }
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        result = ERROR_FILE_NOT_FOUND;
    if (result == ERROR_SUCCESS)
        result = key.close();
    if (result != ERROR_SUCCESS)
        Raise(fromSystem(result), readingFailed(name));
    return win32::fromAnsi(data.substr(0, data.find('\0')));
}

void ShellObject::RegDelete(const std::string& name) {
    const Name target = nameOrRaise(name);
    std::string keyPath, valueName;
    if (!win32::toAnsi(target.keyPath, keyPath) || !win32::toAnsi(target.valueName, valueName))
        Raise(err::NotFound, removingFailed(name));
    if (target.valueName.empty() && target.keyPath.empty())
        Raise(err::AccessDenied, removingFailed(name));
    OpenKey key;
    const REGSAM access = target.valueName.empty() ? KEY_QUERY_VALUE : KEY_SET_VALUE;
    LONG result = ::RegOpenKeyExA(target.root, keyPath.c_str(), 0, access, key.out());
    if (result == ERROR_SUCCESS && !target.valueName.empty()) {
        result = ::RegDeleteValueA(key.get(), valueName.c_str());
    } else if (result == ERROR_SUCCESS) {
        // Only a key without subkeys goes, whatever the system would allow.
        DWORD subkeys = 0;
        result = ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_SUCCESS && subkeys > 0)
            result = ERROR_ACCESS_DENIED;
        if (result == ERROR_SUCCESS)
            result = key.close();
        if (result == ERROR_SUCCESS)
            result = ::RegDeleteKeyA(target.root, keyPath.c_str());
    }
    if (result == ERROR_SUCCESS && key.get())
        result = key.close();
    if (result != ERROR_SUCCESS)
        Raise(fromSystem(result), removingFailed(name));
}

std::unique_ptr<ShellObject> ObjectFactory::create(const std::string& progId) {
    if (!sameName(progId, "WScript.Shell"))
        Raise(err::CannotCreateObject, "ActiveX component can't create object");
    return std::make_unique<ShellObject>();
}

std::unique_ptr<ShellObject> CreateObject(const std::string& progId) {
    return use<ObjectFactory>(realFactory).create(progId);
}

} // namespace platform
