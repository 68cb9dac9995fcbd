#pragma once

#include "platform/runtime/seam.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace testing {

// Message boxes that answer from a script and remember what they showed.
class ScriptedMessageBoxes final : public platform::MessageBoxHost {
public:
    struct Shown {
        QString prompt;
        int buttons;
        QString title;
    };

    int show(const QString& prompt, int buttons, const QString& title) override;

    std::vector<Shown> shown;
    std::deque<int> answers;          // vbYes / vbNo for Yes/No boxes; OK otherwise
    std::function<void()> whileShown; // runs while a box is "up"

    QStringList prompts() const;

private:
    platform::StandIn<platform::MessageBoxHost> standIn_{*this};
};

// Dialogs that answer from a script and remember how they were asked.
class ScriptedDialogs final : public platform::DialogHost {
public:
    // One answer per dialog shown: a path, or nothing for a cancel. It may also raise, or open
    // further dialogs while "its" dialog is up. An exhausted script cancels.
    using Answer = std::function<std::optional<QString>()>;
    static Answer choose(const QString& path) {
        return [path] { return std::optional<QString>(path); };
    }
    static Answer cancel() {
        return [] { return std::optional<QString>(); };
    }

    std::optional<QString> openFile(const OpenFileRequest& request) override;
    std::optional<QString> browseForFolder(QWidget* owner, const QString& title) override;

    std::deque<Answer> files;
    std::deque<Answer> folders;
    std::vector<OpenFileRequest> fileRequests;
    struct Browse {
        QWidget* owner;
        QString title;
    };
    std::vector<Browse> browses;

private:
    platform::StandIn<platform::DialogHost> standIn_{*this};
};

// A temporary folder that an unprivileged user may enter (0755).
class OpenTempDir {
public:
    OpenTempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// Writes `size` bytes of a repeatable pattern; returns the bytes.
QByteArray writePatternFile(const QString& path, qint64 size, int seed = 1);
QByteArray readAll(const QString& path);

// Runs a program as the user nobody (uid and gid 65534, no supplementary groups).
struct Finished {
    int exitCode;
    QProcess::ExitStatus status;
    QByteArray out;
    QByteArray err;
};
Finished runAsNobody(const QString& program, const QStringList& arguments,
                     const QStringList& extraEnvironment = {});
Finished run(const QString& program, const QStringList& arguments,
             const QStringList& extraEnvironment = {});

} // namespace testing
