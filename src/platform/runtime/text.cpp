#include "platform/runtime/text.h"

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

std::string toAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString fromAnsi(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace platform
