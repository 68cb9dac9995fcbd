#include "frontend/qt/adapters.h"

#include "frontend/qt/build.h"
#include "platform/textbridge.h"
#include "platform/ui/qtwindow.h"

namespace qtfront {

std::string TextBox::Text() const {
    return platform::toBytes(box_.text());
}

void TextBox::setText(const std::string& text) {
    box_.setText(platform::fromBytes(text));
}

void Label::setForeColor(std::uint32_t bgr) {
    setTextColour(label_, colour(bgr, label_.palette()));
}

void Form::setCaption(const std::string& caption) {
    window_().setWindowTitle(platform::fromBytes(caption));
}

void Form::setMousePointer(int pointer) {
    platform::setMousePointer(window_(), pointer);
}

platform::HWND Form::hWnd() const {
    return platform::hwnd(&window_());
}

void Form::Show() {
    QWidget& window = window_();
    window.show();
    if (toFront_) {
        window.raise();
        window.activateWindow();
    }
}

} // namespace qtfront
