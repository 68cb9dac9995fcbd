#include "frontend/win32/adapters.h"

#include "platform/win32/ansi.h"

namespace w32front {

std::string TextBox::Text() const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(box_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(box_, text.data(), static_cast<int>(text.size()))));
    return platform::win32::fromWide(text);
}

void TextBox::setText(const std::string& text) {
    ::SetWindowTextW(box_, platform::win32::toWide(text).c_str());
}

bool MenuItem::Checked() const {
    const UINT state = ::GetMenuState(::GetMenu(window_), command_, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

void MenuItem::setChecked(bool checked) {
    ::CheckMenuItem(::GetMenu(window_), command_,
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Form::setCaption(const std::string& caption) {
    ::SetWindowTextW(window_().hwnd(), platform::win32::toWide(caption).c_str());
}

void Form::Refresh() {
    ::RedrawWindow(window_().hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Form::Show() {
    const HWND window = window_().hwnd();
    ::ShowWindow(window, toFront_ ? SW_SHOWNORMAL : SW_SHOW);
    if (toFront_)
        ::SetForegroundWindow(window);
}

} // namespace w32front
