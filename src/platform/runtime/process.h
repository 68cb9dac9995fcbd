#pragma once

#include <QString>

// What the program knows about itself and the process it runs in.
namespace platform {

// The application title: the title of every message box given none of its own.
QString appTitle();

// Program information.
QString appPath(); // folder of the executable, without a trailing "/" unless it is "/"
QString exeName(); // the executable's file name
int versionMajor();
int versionMinor();
int versionRevision();

// Process information: the argument text of the command line (argv[1..] joined by single
// spaces, empty without arguments), recorded by main() before Qt sees the arguments.
void setCommandLine(int argc, const char* const* argv);
QString Command();
QString CurDir();

} // namespace platform
