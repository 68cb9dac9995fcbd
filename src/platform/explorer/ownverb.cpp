#include "platform/explorer/ownverb.h"

#include "platform/textbridge.h"
#include "shellverb/verb.h"

namespace platform::ownverb {

QStringList shellKey() {
    QStringList key;
    for (const std::string& part : shellverb::shellKey())
        key << fromBytes(part);
    return key;
}

QString name() {
    return fromBytes(std::string(shellverb::verbName));
}

QString text() {
    return fromBytes(shellverb::verbText());
}

QString commandLine(const QString& program) {
    return fromBytes(shellverb::programCommandLine(toBytes(program)));
}

} // namespace platform::ownverb
