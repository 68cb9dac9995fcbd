#include "platform/explorer/command.h"

namespace platform {

QStringList explorerCommand(const QString& commandLine, const QString& filePath) {
    QString program;
    QString rest;
    if (commandLine.startsWith(u'"')) {
        const qsizetype close = commandLine.indexOf(u'"', 1);
        program = commandLine.mid(1, close < 0 ? -1 : close - 1);
        rest = close < 0 ? QString() : commandLine.mid(close + 1);
    } else {
        const qsizetype placeholder = commandLine.indexOf(QStringLiteral(" %1"));
        program = commandLine.left(placeholder < 0 ? commandLine.size() : placeholder);
        rest = commandLine.mid(program.size());
    }
    QStringList command{program};
    if (rest.contains(QStringLiteral("%1")))
        command << filePath;
    return command;
}

} // namespace platform
