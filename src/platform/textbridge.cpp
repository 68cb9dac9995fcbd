#include "platform/textbridge.h"

#include "runtime/text.h"

#include <string_view>

namespace platform {

namespace {
constexpr char16_t EscapedByte = 0xDC00;

} // namespace

std::string toBytes(const QString& text) {
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
    return fromBytes(bytes) == text ? bytes : std::string();
}

QString fromBytes(const std::string& bytes) {
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
