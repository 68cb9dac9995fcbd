#include "platform/runtime/process.h"

#include "config.h"
#include "platform/runtime/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
QString& commandText() {
    static QString text;
    return text;
}
} // namespace

QString appTitle() {
    return QStringLiteral(ZINTRA_NAME);
}

QString appPath() {
    return QCoreApplication::applicationDirPath();
}

QString exeName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
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
    return QDir::currentPath();
}

} // namespace platform
