#include "platform/runtime/process.h"

#include "config.h"
#include "platform/runtime/text.h"

#include <QCoreApplication>
#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace platform {

namespace {
QString& commandText() {
    static QString text;
    return text;
}

// The executable's path as bytes: Qt decodes a name that is not UTF-8 lossily, and the command
// line registered from it would name another program.
std::string exePath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || std::size_t(n) >= path.size()) // no /proc: Qt's reading is the best there is
        return toAnsi(QCoreApplication::applicationFilePath());
    path.resize(std::size_t(n));
    return path;
}
} // namespace

QString appTitle() {
    return QStringLiteral(ZINTRA_NAME);
}

QString appPath() {
    const std::string path = exePath();
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? QStringLiteral("/") : fromAnsi(path.substr(0, slash));
}

QString exeName() {
    const std::string path = exePath();
    return fromAnsi(path.substr(path.rfind('/') + 1));
}

int versionMajor() {
    return ZINTRA_VERSION_MAJOR;
}
int versionMinor() {
    return ZINTRA_VERSION_MINOR;
}
int versionRevision() {
    return ZINTRA_VERSION_PATCH;
}

void setCommandLine(int argc, const char* const* argv) {
    QByteArray joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            joined += ' ';
        joined += argv[i];
    }
    commandText() = fromAnsi(joined.toStdString());
}

QString Command() {
    return commandText();
}

QString CurDir() {
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? fromAnsi(folder.get()) : QString();
}

} // namespace platform
