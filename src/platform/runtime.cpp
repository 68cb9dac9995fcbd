#include "platform/runtime.h"

#include "platform/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

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

namespace {
constexpr char16_t EscapedByte = 0xDC00;

// The length of the well-formed UTF-8 sequence at `at`, or 0 where none starts.
std::size_t sequenceLength(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3, low = lead == 0xE0 ? 0xA0 : low, high = lead == 0xED ? 0x9F : high;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4, low = lead == 0xF0 ? 0x90 : low, high = lead == 0xF4 ? 0x8F : high;
    if (n == 0 || at + n > s.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    return n;
}
} // namespace

std::string toAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= EscapedByte + 0x80 && c <= EscapedByte + 0xFF &&
            (i == 0 || !text[i - 1].isHighSurrogate())) {
            bytes += QStringView(text).sliced(run, i - run).toUtf8().toStdString();
            bytes += static_cast<char>(c - EscapedByte);
            run = i + 1;
        }
    }
    bytes += QStringView(text).sliced(run).toUtf8().toStdString();
    return fromAnsi(bytes) == text ? bytes : std::string();
}

QString fromAnsi(const std::string& bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    std::size_t run = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t n = sequenceLength(bytes, i)) {
            i += n;
            continue;
        }
        text += QString::fromUtf8(bytes.data() + run, qsizetype(i - run));
        text += QChar(EscapedByte + static_cast<unsigned char>(bytes[i]));
        run = ++i;
    }
    return text + QString::fromUtf8(bytes.data() + run, qsizetype(bytes.size() - run));
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
    commandText() = fromAnsi(joined.toStdString());
}

QString Command() {
    return commandText();
}

QString CurDir() {
    return QDir::currentPath();
}

} // namespace platform
