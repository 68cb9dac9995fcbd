#pragma once

#include <string>

namespace platform {

// Buttons and answers of a message box.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbYesNo = 4;
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Who shows message boxes: the real modal box, or a scripted stand-in in tests.
class MessageBoxHost {
public:
    virtual ~MessageBoxHost() = default;
    // Shows `prompt` as plain text, no icon, OK only or Yes/No (Yes the default);
    // returns vbOK, vbYes or vbNo.
    virtual int show(const std::string& prompt, int buttons, const std::string& title) = 0;
};

// A modal message box on the window thread; an empty title shows the application title.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});

} // namespace platform
