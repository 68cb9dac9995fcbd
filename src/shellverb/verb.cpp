#include "shellverb/verb.h"

#include "platform/explorer/ownverb.h"

namespace shellverb {

QString verbKey() {
    const QStringList path = QStringList{QStringLiteral("HKEY_LOCAL_MACHINE")} +
                             platform::ownverb::shellKey() +
                             QStringList{platform::ownverb::name(), QString()};
    return path.join(u'\\');
}

QString commandKey() {
    return verbKey() + QStringLiteral("command\\");
}

QString verbText() {
    return platform::ownverb::text();
}

QString commandLine(const QString& apppath, const QString& exeName) {
    return platform::ownverb::commandLine(apppath + exeName);
}

} // namespace shellverb
