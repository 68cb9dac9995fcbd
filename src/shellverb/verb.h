#pragma once

#include <string>
#include <string_view>
#include <vector>

// The registry layout of the "Copy with Zintra" verb, which file managers read; the menu
// exports publish it too.
namespace shellverb {

// The key that holds the verbs of every file, below HKEY_LOCAL_MACHINE, part by part.
inline std::vector<std::string> shellKey() {
    return {"Software", "CLASSES", "*", "shell"};
}
inline constexpr std::string_view verbName = "Zintra"; // the verb's key below it

// Both names end in "\": they address the key's default value, or the key when deleted.
// Its default value is the text of the menu entry.
inline std::string verbKey() {
    std::string key = "HKEY_LOCAL_MACHINE\\";
    for (const std::string& part : shellKey())
        key += part + '\\';
    return key + std::string(verbName) + '\\';
}
// Its default value is the command line.
inline std::string commandKey() {
    return verbKey() + "command\\";
}
inline std::string verbText() {
    return "Copy with Zintra";
}

// The command key's default value: the program's path, unquoted, and the placeholder for the
// chosen file: "/usr/bin/zintra %1".
inline std::string programCommandLine(const std::string& program) {
    return program + " %1";
}
// The same for the program `exeName` in `apppath`, which ends in the separator.
inline std::string commandLine(const std::string& apppath, const std::string& exeName) {
    return programCommandLine(apppath + exeName);
}

} // namespace shellverb
