#include "platform/runtime/text.h"

#include <string_view>

namespace platform {

namespace {
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
} // namespace

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

} // namespace platform
