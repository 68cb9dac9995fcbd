// /usr/libexec/zintra/update-menu-entries: run as root by the package's path unit after every
// change of the registry (and by the package on installation), so that the file managers' menu
// entries follow the registry whoever changed it. Only the program's own verb is published;
// the verbs left out are named once on stderr. Exit status 0, or 1 with the reason on stderr.
#include "platform/explorer/filemanagers.h"
#include "platform/runtime/errors.h"

#include <cstdio>

int main() {
    try {
        const QStringList leftOut = platform::filemanagers::updateFromRegistry();
        if (!leftOut.isEmpty()) {
            // A registry of thousands of verbs gives one line, not thousands.
            QString names = u'"' + leftOut.mid(0, 3).join(QStringLiteral("\", \"")) + u'"';
            if (leftOut.size() > 3)
                names += QStringLiteral(" and %1 more").arg(leftOut.size() - 3);
            std::fprintf(stderr,
                         "update-menu-entries: left out of the menus, not ZINTRA's own verb with "
                         "a program only root can change: %s\n",
                         qPrintable(names));
        }
        return 0;
    } catch (const platform::RuntimeError& e) {
        std::fprintf(stderr, "update-menu-entries: %s\n", qPrintable(e.description()));
        return 1;
    }
}
