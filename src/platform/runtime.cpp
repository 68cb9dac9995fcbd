#include "platform/runtime.h"

#include "platform/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform {

namespace {
QString& commandText() {
    static QString text;
    return text;
}

QString LTrim(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

QString RTrim(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.left(n);
}

[[noreturn]] void endAfterUntrappedError(int number, const QString& description) {
    MsgBox(untrappedErrorText(number, description), vbOKOnly, appTitle());
    std::fflush(nullptr);
    // The program ends here, from inside whatever loops are running: no loop may go on.
    std::_Exit(EXIT_FAILURE);
}
} // namespace

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number) {}

void Raise(int number, const QString& description) {
    throw RuntimeError(number, description);
}

QString untrappedErrorText(int number, const QString& description) {
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RuntimeError& e) {
        endAfterUntrappedError(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        endAfterUntrappedError(err::OutOfMemory, QStringLiteral("Out of memory"));
    }
}

bool ResumeNext::operator()(const std::function<void()>& step) const {
    try {
        step();
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

QString Trim(const QString& text) {
    return LTrim(RTrim(text));
}

QString textBoxText(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString withSeparator(const QString& folder) {
    return folder == QStringLiteral("/") ? folder : folder + u'/';
}

int InStrRev(const QString& text, QChar needle) {
    return static_cast<int>(text.lastIndexOf(needle)) + 1;
}

std::string toAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString fromAnsi(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString appTitle() {
    return QStringLiteral("ZINTRA");
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
    commandText() = QString::fromLocal8Bit(joined);
}

QString Command() {
    return commandText();
}

QString CurDir() {
    return QDir::currentPath();
}

} // namespace platform
