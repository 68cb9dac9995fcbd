#include "platform/machine/machinepath.h"

namespace platform {

QString machinePath(const QString& absolutePath) {
    // ZINTRA_ROOT relocates the whole machine-wide state, like a chroot, for tests and portable
    // installs.
    return qEnvironmentVariable("ZINTRA_ROOT") + absolutePath;
}

} // namespace platform
