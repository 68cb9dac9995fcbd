#pragma once

#include <QString>

class QWidget;

namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;

// Who opens documents and links: the desktop (the browser, the mail program), or a recorder
// in tests.
class ShellHost {
public:
    virtual ~ShellHost() = default;
    virtual void execute(QWidget* owner, const QString& operation, const QString& file,
                         const QString& parameters, int showCommand) = 0;
};

// Hands a URL or a "mailto:" link to the program the desktop associates with it. The outcome
// is not reported: a desktop without such a program shows whatever it shows.
void ShellExecuteA(QWidget* owner, const QString& operation, const QString& file,
                   const QString& parameters, int showCommand);

} // namespace platform
