#pragma once

#include <QString>
#include <string>

// The text rules the windows rely on.
namespace platform {

// Trimming removes spaces (0x20) only, never tabs or line breaks.
QString Trim(const QString& text);

// A text set into a text box shows up to its first NUL.
QString textBoxText(const QString& text);

// A folder as the program writes it: followed by "/", except the root, which ends in one.
QString withSeparator(const QString& folder);

// Position (from 1) of the last occurrence of `needle`, 0 when absent.
int InStrRev(const QString& text, QChar needle);

// Text crossing a platform call travels in UTF-8. Bytes that are not UTF-8 (a file name
// written in another encoding) are carried as U+DC80..U+DCFF, one per byte, so that every
// name read from the system comes back byte for byte. A text that stands for no bytes of its
// own (a surrogate of nothing, escapes that would read back as another character) converts
// to nothing, which names no file.
std::string toAnsi(const QString& text);
QString fromAnsi(const std::string& bytes);

} // namespace platform
