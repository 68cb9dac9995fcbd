#include "platform/explorer/ownverb.h"

namespace platform::ownverb {

QStringList shellKey() {
    return {QStringLiteral("Software"), QStringLiteral("CLASSES"), QStringLiteral("*"),
            QStringLiteral("shell")};
}

QString name() {
    return QStringLiteral("Zintra");
}

QString text() {
    return QStringLiteral("Copy with Zintra");
}

QString commandLine(const QString& program) {
    return program + QStringLiteral(" %1");
}

} // namespace platform::ownverb
