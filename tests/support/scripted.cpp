#include "support/scripted.h"

#include <QFile>
#include <QProcessEnvironment>
#include <random>

namespace testing {

int ScriptedMessageBoxes::show(const QString& prompt, int buttons, const QString& title) {
    shown.push_back({prompt, buttons, title});
    if (whileShown)
        whileShown();
    if (buttons == platform::vbYesNo) {
        int answer = platform::vbNo;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
    return platform::vbOK;
}

QStringList ScriptedMessageBoxes::prompts() const {
    QStringList list;
    for (const auto& s : shown)
        list << s.prompt;
    return list;
}

namespace {
std::optional<QString> answerFrom(std::deque<ScriptedDialogs::Answer>& script) {
    if (script.empty())
        return std::nullopt;
    const ScriptedDialogs::Answer answer = script.front();
    script.pop_front();
    return answer();
}
} // namespace

std::optional<QString> ScriptedDialogs::openFile(const OpenFileRequest& request) {
    fileRequests.push_back(request);
    return answerFrom(files);
}

std::optional<QString> ScriptedDialogs::browseForFolder(QWidget* owner, const QString& title) {
    browses.push_back({owner, title});
    return answerFrom(folders);
}

OpenTempDir::OpenTempDir() {
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
}

QByteArray writePatternFile(const QString& path, qint64 size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937 gen(static_cast<unsigned>(seed));
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(gen() & 0xff);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != size)
        qFatal("cannot write %s", qPrintable(path));
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Finished run(const QString& program, const QStringList& arguments,
             const QStringList& extraEnvironment) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : extraEnvironment)
        env.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.waitForFinished(120000);
    return {p.exitCode(), p.exitStatus(), p.readAllStandardOutput(), p.readAllStandardError()};
}

Finished runAsNobody(const QString& program, const QStringList& arguments,
                     const QStringList& extraEnvironment) {
    return run(QStringLiteral("setpriv"),
               QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), program} +
                   arguments,
               extraEnvironment);
}

} // namespace testing
