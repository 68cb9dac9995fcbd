#include "platform/machine/machinepath.h"

#include "platform/textbridge.h"

#include <cstdlib>

namespace platform {

QString machinePath(const QString& absolutePath) {
    // ZINTRA_ROOT relocates the whole machine-wide state, like a chroot, for tests and portable
    // installs. Taken as bytes, as every name is.
    const char* root = std::getenv("ZINTRA_ROOT");
    return (root ? fromBytes(root) : QString()) + absolutePath;
}

} // namespace platform
