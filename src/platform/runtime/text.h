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

// Text crossing a platform call travels in the locale's encoding (UTF-8).
std::string toAnsi(const QString& text);
QString fromAnsi(const std::string& bytes);

} // namespace platform
