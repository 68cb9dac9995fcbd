#include "shellverb/verb.h"

namespace shellverb {

QString verbKey() {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra\\");
}

QString commandKey() {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\Zintra\\command\\");
}

QString verbText() {
    return QStringLiteral("Copy with Zintra");
}

QString commandLine(const QString& apppath, const QString& exeName) {
    return apppath + exeName + QStringLiteral(" %1");
}

} // namespace shellverb
