#pragma once

#include "runtime/errors.h"

#include <QString>
#include <string>

// Where the program's text (bytes) meets Qt's (UTF-16), and nowhere else. Bytes that are not
// UTF-8 (a file name written in another encoding) are carried as U+DC80..U+DCFF, one per byte,
// so that every name read from the system comes back byte for byte. A text that stands for no
// bytes of its own (a surrogate of nothing, escapes that would read back as another
// character) converts to nothing, which names no file.
namespace platform {

std::string toBytes(const QString& text);
QString fromBytes(const std::string& bytes);

// Raises a runtime error described in Qt's text, for the parts of the platform written in it.
[[noreturn]] inline void Raise(int number, const QString& description) {
    Raise(number, toBytes(description));
}

} // namespace platform
