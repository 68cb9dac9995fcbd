#include "platform/runtime/process.h"
#include "update/update.h"

namespace update {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString localVersion() {
    return versionText(platform::versionMajor(), platform::versionMinor(),
                       platform::versionRevision());
}

bool isNewer(const QString& serverVersion, const QString& localVersion) {
    return QString::compare(serverVersion, localVersion, Qt::CaseSensitive) > 0;
}

QString versionFileUrl(const QString& baseUrl) {
    return baseUrl + QStringLiteral("/ver/zintra.ver");
}

QString downloadUrl(const QString& baseUrl) {
    return baseUrl + QStringLiteral("/freewares/zintranv.zip");
}

} // namespace update
