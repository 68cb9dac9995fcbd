// /usr/libexec/zintra/update-menu-entries: run as root by the package's path unit after every
// change of the registry (and by the package on installation), so that the file managers' menu
// entries follow the registry whoever changed it. Exit status 0, or 1 with the reason on stderr.
#include "platform/explorer/filemanagers.h"
#include "platform/runtime/errors.h"

#include <cstdio>

int main() {
    try {
        platform::filemanagers::updateFromRegistry();
        return 0;
    } catch (const platform::RuntimeError& e) {
        std::fprintf(stderr, "update-menu-entries: %s\n", qPrintable(e.description()));
        return 1;
    }
}
