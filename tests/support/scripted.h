#pragma once

#include "platform/textbridge.h"
#include "platform/ui/dialoghost.h"
#include "platform/ui/msgbox.h"
#include "runtime/seam.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing {

// Message boxes that answer at once and remember what they showed.
class ScriptedMessageBoxes final : public platform::MessageBoxHost {
public:
    struct Shown {
        QString prompt, title;
    };
    std::vector<Shown> shown;
    int yesNo = platform::vbNo;               // the answer to a Yes/No box; the others get OK
    std::function<void()> whileShown = [] {}; // runs while a box is "up"

    int show(const std::string& promptBytes, int buttons, const std::string& title) override {
        const QString prompt = platform::fromBytes(promptBytes);
        shown.push_back({prompt, platform::fromBytes(title)});
        prompts_ << prompt;
        whileShown();
        return buttons == platform::vbYesNo ? yesNo : platform::vbOK;
    }
    QStringList prompts() const { return prompts_; }

private:
    QStringList prompts_;
    platform::StandIn<platform::MessageBoxHost> standIn_{*this};
};

// Dialogs that answer from a script, one answer per dialog shown: a path, or nothing for a
// cancel. An answer may also raise, or open further dialogs; an exhausted script cancels.
class ScriptedDialogs final : public platform::DialogHost {
public:
    using Answer = std::function<std::optional<QString>()>;
    static Answer choose(const QString& path) {
        return [path] { return std::optional<QString>(path); };
    }
    QList<Answer> files, folders;

    std::optional<QString> openFile(const OpenFileRequest&) override { return next(files); }
    std::optional<QString> browseForFolder(QWidget*, const QString&) override {
        return next(folders);
    }

private:
    static std::optional<QString> next(QList<Answer>& script) {
        return script.isEmpty() ? std::nullopt : script.takeFirst()();
    }
    platform::StandIn<platform::DialogHost> standIn_{*this};
};

// A temporary folder that an unprivileged user may enter.
struct OpenTempDir : QTemporaryDir {
    OpenTempDir() { ::chmod(QFile::encodeName(path()).constData(), 0755); }
};

// Writes `size` bytes of a repeatable pattern; returns them.
inline QByteArray writePatternFile(const QString& path, qint64 size, int seed = 1) {
    std::mt19937 gen(static_cast<unsigned>(seed));
    QByteArray bytes(size, Qt::Uninitialized);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(gen() & 0xff); });
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != size)
        qFatal("cannot write %s", qPrintable(path));
    return bytes;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a program to its end, with extra "NAME=value" variables in its environment. One that
// has not ended within half a minute is ended, with all it started, and the test fails with
// what it wrote to stderr.
struct Finished {
    int exitCode;
    QByteArray out, err;
};
inline Finished run(const QString& program, const QStringList& arguments,
                    const QStringList& extraEnvironment = {}) {
    QProcess p;
    p.setEnvironment(QProcess::systemEnvironment() + extraEnvironment); // the last one counts
    p.setChildProcessModifier([] { ::setpgid(0, 0); }); // a group of its own, to end at once
    p.start(program, arguments);
    const bool finished = p.waitForFinished(30000);
    if (!finished && p.state() != QProcess::NotRunning &&
        ::kill(-pid_t(p.processId()), SIGKILL) == 0)
        p.waitForFinished(-1);
    Finished r{finished ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
    if (!finished)
        QTest::qFail(qPrintable(program + ' ' + arguments.join(' ') + ": " + p.errorString() +
                                "; stderr: " + r.err),
                     __FILE__, __LINE__);
    return r;
}
// The same as the user nobody (uid and gid 65534, no supplementary groups).
inline Finished runAsNobody(const QString& program, const QStringList& arguments,
                            const QStringList& extraEnvironment = {}) {
    return run("setpriv",
               QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments,
               extraEnvironment);
}

} // namespace testing
