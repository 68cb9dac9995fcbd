#pragma once

#include "config.h"

#include <string>

// What the program knows about itself and the process it runs in.
namespace platform {

// The application title: the title of every message box given none of its own.
inline std::string appTitle() {
    return ZINTRA_NAME;
}

// Program information.
std::string appPath(); // folder of the executable, without a trailing separator unless a root
std::string exeName(); // the executable's file name
constexpr int versionMajor() {
    return ZINTRA_VERSION_MAJOR;
}
constexpr int versionMinor() {
    return ZINTRA_VERSION_MINOR;
}
constexpr int versionRevision() {
    return ZINTRA_VERSION_PATCH;
}

// Process information: the argument text of the command line (argv[1..] joined by single
// spaces, empty without arguments), recorded by main() before the toolkit sees the arguments.
void setCommandLine(int argc, const char* const* argv);
std::string Command();
std::string CurDir();

} // namespace platform
