#pragma once

#include "runtime/layout.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <windows.h>

// A top-level window built from its layout: child controls for buttons, boxes, labels and
// pictures; shapes and lines painted by the window itself. What the user does reaches the
// owner through the event callbacks.
namespace w32front {

// A layout colour (0x00BBGGRR or a desktop scheme colour) as GDI takes it.
COLORREF colour(std::uint32_t vb);

class FormWindow {
public:
    FormWindow(const layout::Form& design, DWORD style);
    virtual ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // A control by its name and, in a control array, its index; its place in the layout.
    std::size_t find(const char* name, int index = -1) const;
    HWND child(std::size_t at) const { return children_[at].hwnd; }
    // The menu entry's command, by its name.
    UINT menuCommand(const char* name) const;

    void setForeColor(std::size_t at, COLORREF colour);
    void setShapeVisible(std::size_t at, bool visible);
    void setShapeWidth(std::size_t at, float twips);
    void setPaced(bool paced);
    void setBusy(bool busy);
    // The control that gets the keyboard when the window is activated.
    void keepFocus(std::size_t at) { focus_ = child(at); }

    // Events; each runs its handler through the untrapped-error path.
    std::function<void(const layout::Control&)> clicked;
    std::function<void(const layout::Control&)> mouseMovedOver; // links (layout::isLink)
    std::function<void()> mouseMoved;                           // over the background
    std::function<void(const layout::MenuItem&)> menuChosen;
    // The user closes the window.
    std::function<void()> closing;
    // The window has gone; the owner may delete it now.
    std::function<void()> destroyed;

protected:
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Child {
        const layout::Control* design;
        HWND hwnd = nullptr;
        COLORREF fore = 0;
        RECT bounds{}; // shapes and lines, in pixels
        bool visible = true;
        WNDPROC baseProc = nullptr; // links, subclassed for their mouse moves
    };
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK linkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void createChildren();
    void createMenu();
    void addToolTip(HWND tool, const char* text);
    void paint();
    const Child* childOf(HWND hwnd) const;
    HFONT font(const layout::Font& font);

    const layout::Form& design_;
    HWND hwnd_ = nullptr;
    HWND toolTips_ = nullptr;
    HWND focus_ = nullptr;
    HMENU menu_ = nullptr;
    HBRUSH background_ = nullptr;
    std::vector<Child> children_;
    std::vector<HFONT> fonts_;
    std::vector<HBITMAP> pictures_;
    int paced_ = 0;
    bool busy_ = false;
};

// Runs an event's handler. A window closed while a handler runs is hidden and goes once the
// outermost handler has returned, so that no handler finds its window gone.
void runHandler(const std::function<void()>& handler);
// Closes a window now, or once no handler runs.
void close(HWND window);

std::wstring wide(const char* utf8);

// Runs the handler of `form` listed under the control's or menu entry's `name`, if any.
template <typename Form>
void dispatch(Form& form, std::string_view name,
              std::initializer_list<std::pair<std::string_view, void (Form::*)()>> handlers) {
    for (const auto& [listed, handler] : handlers)
        if (listed == name)
            return (form.*handler)();
}

} // namespace w32front
