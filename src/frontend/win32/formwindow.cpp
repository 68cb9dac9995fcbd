#include "frontend/win32/formwindow.h"

#include "platform/win32/ansi.h"
#include "runtime/twips.h"
#include "runtime/untrapped.h"

#include <cmath>
#include <commctrl.h>
#include <string_view>
#include <utility>

namespace w32front {

namespace {
constexpr UINT FirstControl = 1000;
constexpr UINT FirstMenuItem = 100;

int handlersRunning = 0;
std::vector<HWND> closedWhileRunning;
int windowsOpen = 0;

HINSTANCE instance() {
    return ::GetModuleHandleW(nullptr);
}

RECT pixels(const layout::Control& c) {
    using platform::twips;
    if (c.kind == layout::Kind::Line) // its two ends, both drawn
        return {twips(std::min(c.left, c.width)), twips(std::min(c.top, c.height)),
                twips(std::max(c.left, c.width)) + 1, twips(std::max(c.top, c.height)) + 1};
    return {twips(c.left), twips(c.top), twips(c.left + c.width), twips(c.top + c.height)};
}

// An icon of the system's size for `metric`, shared: the system frees it.
HICON icon(const char* name, int width, int height) {
    return static_cast<HICON>(::LoadImageW(instance(), wide(name).c_str(), IMAGE_ICON,
                                           ::GetSystemMetrics(width), ::GetSystemMetrics(height),
                                           LR_SHARED));
}
} // namespace

std::wstring wide(const char* utf8) {
    return platform::win32::toWide(utf8);
}

COLORREF colour(std::uint32_t vb) {
    return (vb & 0x80000000) ? ::GetSysColor(static_cast<int>(vb & 0xFF)) : vb;
}

void runHandler(const std::function<void()>& handler) {
    struct Running {
        Running() { ++handlersRunning; }
        ~Running() {
            if (--handlersRunning == 0)
                for (HWND window : std::exchange(closedWhileRunning, {}))
                    if (::IsWindow(window))
                        ::DestroyWindow(window);
        }
    } running;
    platform::runHandler(handler);
}

void close(HWND window) {
    if (handlersRunning == 0) {
        ::DestroyWindow(window);
        return;
    }
    ::ShowWindow(window, SW_HIDE);
    closedWhileRunning.push_back(window);
}

FormWindow::FormWindow(const layout::Form& design, DWORD style)
    : design_(design), background_(::CreateSolidBrush(colour(design.backColor))) {
    const std::wstring className = wide(design.name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance(), className.c_str(), &wc)) {
        wc.lpfnWndProc = windowProc;
        wc.hInstance = instance();
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hIcon = icon(design.icon, SM_CXICON, SM_CYICON);
        wc.hIconSm = icon(design.icon, SM_CXSMICON, SM_CYSMICON);
        wc.lpszClassName = className.c_str();
        if (!::RegisterClassExW(&wc))
            return;
    }
    createMenu();
    RECT frame{0, 0, platform::twips(design.clientWidth), platform::twips(design.clientHeight)};
    ::AdjustWindowRectEx(&frame, style, menu_ != nullptr, 0);
    hwnd_ = ::CreateWindowExW(0, className.c_str(), wide(design.caption).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, menu_, instance(), this);
    if (hwnd_)
        createChildren();
}

FormWindow::~FormWindow() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    for (HFONT f : fonts_)
        ::DeleteObject(f);
    for (HBITMAP b : pictures_)
        ::DeleteObject(b);
    ::DeleteObject(background_);
}

std::size_t FormWindow::find(const char* name, int index) const {
    for (std::size_t at = 0; at < children_.size(); ++at)
        if (std::string_view(children_[at].design->name) == name &&
            children_[at].design->index == index)
            return at;
    return children_.size();
}

UINT FormWindow::menuCommand(const char* name) const {
    for (std::size_t at = 0; at < design_.menu.size(); ++at)
        if (std::string_view(design_.menu[at].name) == name)
            return FirstMenuItem + static_cast<UINT>(at);
    return 0;
}

HFONT FormWindow::font(const layout::Font& f) {
    const layout::Font& chosen = f.name ? f : design_.font;
    if (!chosen.name)
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const bool roman = std::string_view(chosen.name).starts_with("Times");
    const HFONT made =
        ::CreateFontW(-static_cast<int>(std::lround(chosen.size * 96 / 72)), 0, 0, 0,
                      chosen.bold ? FW_BOLD : FW_NORMAL, FALSE, chosen.underline, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      VARIABLE_PITCH | (roman ? FF_ROMAN : FF_SWISS), wide(chosen.name).c_str());
    if (!made)
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fonts_.push_back(made);
    return made;
}

void FormWindow::createMenu() {
    if (!design_.menuCaption)
        return;
    menu_ = ::CreateMenu();
    const HMENU popup = ::CreatePopupMenu();
    if (!menu_ || !popup)
        return;
    for (std::size_t at = 0; at < design_.menu.size(); ++at) {
        const layout::MenuItem& item = design_.menu[at];
        ::AppendMenuW(popup, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                      FirstMenuItem + at, wide(item.caption).c_str());
    }
    ::AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                  wide(design_.menuCaption).c_str());
}

void FormWindow::createChildren() {
    children_.reserve(design_.controls.size());
    for (const layout::Control& c : design_.controls) {
        Child& child = children_.emplace_back(Child{&c});
        child.fore = colour(c.foreColor);
        child.visible = c.visible;
        child.bounds = pixels(c);
        const wchar_t* type = nullptr;
        DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
        DWORD exStyle = 0;
        switch (c.kind) {
        case layout::Kind::CommandButton:
            type = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case layout::Kind::TextBox:
            type = L"EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::Label:
            type = L"STATIC";
            style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX; // "&" is text, as in the layout
            break;
        case layout::Kind::Image:
            type = L"STATIC";
            style |= SS_BITMAP | SS_NOTIFY;
            break;
        case layout::Kind::Shape:
        case layout::Kind::Line:
            continue; // painted by the window
        }
        const RECT& r = child.bounds;
        const UINT id = FirstControl + static_cast<UINT>(children_.size() - 1);
        child.hwnd = ::CreateWindowExW(
            exStyle, type, c.kind == layout::Kind::Image ? L"" : wide(c.text).c_str(), style,
            r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance(), nullptr);
        if (!child.hwnd)
            continue;
        ::SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(c.font)), FALSE);
        if (c.kind == layout::Kind::Image) {
            const auto picture = static_cast<HBITMAP>(
                ::LoadImageW(instance(), wide(c.picture).c_str(), IMAGE_BITMAP, 0, 0, 0));
            if (picture) {
                pictures_.push_back(picture);
                ::SendMessageW(child.hwnd, STM_SETIMAGE, IMAGE_BITMAP,
                               reinterpret_cast<LPARAM>(picture));
            }
        }
        if (layout::isLink(c))
            child.baseProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
                child.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(linkProc)));
        if (*c.toolTip)
            addToolTip(child.hwnd, c.toolTip);
    }
}

void FormWindow::addToolTip(HWND tool, const char* text) {
    if (!toolTips_)
        toolTips_ = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance(), nullptr);
    if (!toolTips_)
        return;
    std::wstring tip = wide(text);
    // The size the classic common controls know: the program keeps their look.
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = tip.data();
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

const FormWindow::Child* FormWindow::childOf(HWND hwnd) const {
    for (const Child& c : children_)
        if (c.hwnd == hwnd)
            return &c;
    return nullptr;
}

void FormWindow::setForeColor(std::size_t at, COLORREF colour) {
    Child& c = children_.at(at);
    if (c.fore == colour)
        return;
    c.fore = colour;
    ::InvalidateRect(c.hwnd, nullptr, TRUE);
}

void FormWindow::setShapeVisible(std::size_t at, bool visible) {
    Child& c = children_.at(at);
    c.visible = visible;
    ::InvalidateRect(hwnd_, &c.bounds, TRUE);
}

void FormWindow::setShapeWidth(std::size_t at, float twips) {
    Child& c = children_.at(at);
    const LONG right = c.bounds.left + platform::twips(static_cast<int>(twips));
    if (right == c.bounds.right)
        return;
    RECT changed = c.bounds;
    changed.right = std::max(right, c.bounds.right);
    c.bounds.right = right;
    if (!c.visible)
        return;
    ::InvalidateRect(hwnd_, &changed, TRUE);
    if (paced_)
        ::UpdateWindow(hwnd_);
}

void FormWindow::setPaced(bool paced) {
    paced_ += paced ? 1 : -1;
    if (!paced)
        ::UpdateWindow(hwnd_);
}

void FormWindow::setBusy(bool busy) {
    busy_ = busy;
    ::SetCursor(::LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void FormWindow::paint() {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(hwnd_, &ps);
    if (!dc)
        return;
    for (const Child& c : children_) {
        if (!c.visible)
            continue;
        if (c.design->kind == layout::Kind::Line) {
            if (const HBRUSH pen = ::CreateSolidBrush(c.fore)) {
                ::FillRect(dc, &c.bounds, pen);
                ::DeleteObject(pen);
            }
        } else if (c.design->kind == layout::Kind::Shape) {
            // A 1-pixel border around a filled or hollow inside, at least a pixel wide.
            const HPEN pen = ::CreatePen(PS_SOLID, 1, c.fore);
            const HBRUSH fill = c.design->fillColor == layout::NoColour
                                    ? nullptr
                                    : ::CreateSolidBrush(colour(c.design->fillColor));
            const HGDIOBJ oldPen = ::SelectObject(dc, pen);
            const HGDIOBJ oldBrush = ::SelectObject(dc, fill ? fill : ::GetStockObject(NULL_BRUSH));
            ::Rectangle(dc, c.bounds.left, c.bounds.top,
                        std::max(c.bounds.right, c.bounds.left + 1), c.bounds.bottom);
            ::SelectObject(dc, oldBrush);
            ::SelectObject(dc, oldPen);
            if (fill)
                ::DeleteObject(fill);
            if (pen)
                ::DeleteObject(pen);
        }
    }
    ::EndPaint(hwnd_, &ps);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        ::GetClientRect(hwnd_, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
        return 1;
    }
    case WM_PAINT:
        paint();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (const Child* c = childOf(reinterpret_cast<HWND>(lParam))) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, c->fore);
            ::SetBkColor(dc, colour(design_.backColor));
            return reinterpret_cast<LRESULT>(background_);
        }
        break;
    case WM_SETCURSOR:
        if (busy_) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (mouseMoved)
            runHandler(mouseMoved);
        return 0;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (lParam == 0 && HIWORD(wParam) == 0 && id >= FirstMenuItem &&
            id < FirstMenuItem + design_.menu.size()) {
            if (menuChosen)
                runHandler([&] { menuChosen(design_.menu[id - FirstMenuItem]); });
            return 0;
        }
        // BN_CLICKED and STN_CLICKED alike.
        if (lParam != 0 && HIWORD(wParam) == 0 && id >= FirstControl &&
            id < FirstControl + children_.size() && clicked) {
            const layout::Control& c = *children_[id - FirstControl].design;
            runHandler([&] { clicked(c); });
        }
        return 0;
    }
    case WM_ACTIVATE:
        // The control that had the keyboard gets it back, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus))
                focus_ = focus;
        } else if (focus_) {
            ::SetFocus(focus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (closing)
            closing();
        close(hwnd_);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ++windowsOpen;
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // The program ends with its last window.
        if (--windowsOpen == 0)
            ::PostQuitMessage(0);
        if (self) {
            self->hwnd_ = nullptr;
            // Taken out first: it may delete the window object.
            if (const auto gone = std::move(self->destroyed))
                gone();
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self ? self->handle(message, wParam, lParam)
                : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::linkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self =
        reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(::GetParent(hwnd), GWLP_USERDATA));
    const Child* link = self ? self->childOf(hwnd) : nullptr;
    if (!link)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC baseProc = link->baseProc;
    // A link shows the hand that links show everywhere, unless the window is busy.
    if (message == WM_SETCURSOR && !self->busy_) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    if (message == WM_MOUSEMOVE && self->mouseMovedOver) {
        const layout::Control& c = *link->design;
        runHandler([&] { self->mouseMovedOver(c); });
        if (!::IsWindow(hwnd)) // closed by the handler: the window has gone
            return 0;
    }
    return ::CallWindowProcW(baseProc, hwnd, message, wParam, lParam);
}

} // namespace w32front
