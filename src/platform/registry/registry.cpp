#include "platform/registry/registry.h"

#include "platform/machine/machinefiles.h"
#include "platform/machine/machinepath.h"
#include "platform/runtime/errors.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>

namespace platform::registry {

namespace {
ChangeObserver& observer() {
    static ChangeObserver current;
    return current;
}

using machinefiles::Descriptor;

const QString registryFile = QStringLiteral("the registry file");

[[noreturn]] void raiseIo(const QString& path, int errnum) {
    machinefiles::raiseIo(registryFile, path, errnum);
}

// Readable by everyone, so that every user's start-up can read the registry; writable by the
// folder's group where the folder is shared with a group (root:staff 2775).
mode_t fileMode(const QString& folder) {
    return machinefiles::groupWritable(folder) ? 0664 : 0644;
}

reg::Key parseOrRaise(const QByteArray& text, const QString& path) {
    auto machine = reg::parse(text);
    if (!machine)
        Raise(
            err::Damaged,
            QStringLiteral("The registry file \"%1\" is damaged; it is left as it is.").arg(path));
    return std::move(*machine);
}

reg::Key loadFrom(const QString& path) {
    bool exists = false;
    const QByteArray text = machinefiles::readFile(registryFile, path, exists);
    return exists ? parseOrRaise(text, path) : reg::emptyMachine();
}

// A separate lock file: the registry file itself is replaced on every change. Opening it for
// writing is the first thing that fails for a user who may not change the machine.
Descriptor lockExclusive(const QString& folder) {
    const QString path = folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg.lock");
    const std::string name = machinefiles::native(path);
    int raw = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool created = raw >= 0;
    if (!created && errno == EEXIST)
        raw = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
    if (raw < 0)
        raiseIo(path, errno);
    Descriptor fd(raw);
    if (created && ::fchmod(fd.get(), fileMode(folder)) != 0)
        raiseIo(path, errno);
    while (::flock(fd.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            raiseIo(path, errno);
    return fd;
}
} // namespace

QString machineFile() {
    return machinePath(QStringLiteral("/var/lib/zintra/registry/HKEY_LOCAL_MACHINE.reg"));
}

reg::Key load() {
    return loadFrom(machineFile());
}

void update(const std::function<void(reg::Key&)>& change) {
    const QString path = machineFile();
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo::exists(folder)) {
        // Without a folder the hive is empty: a change that fails on it must leave no folder.
        reg::Key empty = reg::emptyMachine();
        change(empty);
        machinefiles::makeFolders(folder);
    }
    const Descriptor lock = lockExclusive(folder);
    reg::Key machine = loadFrom(path);
    change(machine);
    machinefiles::replaceFile(registryFile, path, reg::format(machine), fileMode(folder));
    if (observer())
        observer()(machine);
}

void setChangeObserver(ChangeObserver changeObserver) {
    observer() = std::move(changeObserver);
}

} // namespace platform::registry
