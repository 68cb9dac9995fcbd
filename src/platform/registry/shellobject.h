#pragma once

#include <memory>
#include <string>

namespace platform {

// The shell-scripting object ("WScript.Shell"): the registry under HKEY_LOCAL_MACHINE by name,
// names and values in UTF-8.
// A name ending in "\" addresses a key's default value (RegWrite, RegRead) or the key itself
// (RegDelete); otherwise its last part names a value. Values are REG_SZ text. Every failure
// raises a runtime error. The object holds nothing: each call reads the registry afresh. The
// file managers' menu entries follow each change it commits (filemanagers::afterChange).
class ShellObject {
public:
    virtual ~ShellObject() = default;

    // Stores `text` (up to its first NUL, as REG_SZ ends there), creating the key and any
    // missing keys above it. A name or text that is not UTF-8 is refused (error 5).
    virtual void RegWrite(const std::string& name, const std::string& text);
    // Fails when the key or the value does not exist.
    virtual std::string RegRead(const std::string& name);
    // Fails when the key or value does not exist, and for a key that still has subkeys.
    virtual void RegDelete(const std::string& name);
};

// Creates objects by ProgID. Tests replace it, for instance to make creation fail.
class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // Raises error 429 for a ProgID it does not know.
    virtual std::unique_ptr<ShellObject> create(const std::string& progId);
};

std::unique_ptr<ShellObject> CreateObject(const std::string& progId);

} // namespace platform
