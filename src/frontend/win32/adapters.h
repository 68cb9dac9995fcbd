#pragma once

#include "frontend/win32/formwindow.h"
#include "runtime/controls.h"

#include <functional>

// Win32's controls as the handlers' controls. The program's text is UTF-8; the controls' is
// UTF-16, so nothing typed is lost on the way.
namespace w32front {

class TextBox final : public ui::TextBox {
public:
    explicit TextBox(HWND box) : box_(box) {}
    std::string Text() const override;
    void setText(const std::string& text) override;

private:
    HWND box_;
};

class Shape final : public ui::Shape {
public:
    Shape(FormWindow& window, std::size_t at) : window_(window), at_(at) {}
    void setVisible(bool visible) override { window_.setShapeVisible(at_, visible); }
    void setWidth(float twips) override { window_.setShapeWidth(at_, twips); }
    void setPaced(bool paced) override { window_.setPaced(paced); }

private:
    FormWindow& window_;
    std::size_t at_;
};

class MenuItem final : public ui::MenuItem {
public:
    MenuItem(HWND window, UINT command) : window_(window), command_(command) {}
    bool Checked() const override;
    void setChecked(bool checked) override;

private:
    HWND window_;
    UINT command_;
};

class Label final : public ui::Label {
public:
    Label(FormWindow& window, std::size_t at) : window_(window), at_(at) {}
    void setForeColor(std::uint32_t bgr) override { window_.setForeColor(at_, colour(bgr)); }
    bool HasFocus() const override { return ::GetFocus() == window_.child(at_); }

private:
    FormWindow& window_;
    std::size_t at_;
};

// A window: `window()` gives it, loading it first where `Show` would (the About window). A
// window shown `toFront` is brought to the front too.
class Form final : public ui::Form {
public:
    Form(std::function<FormWindow&()> window, bool toFront)
        : window_(std::move(window)), toFront_(toFront) {}
    void setCaption(const std::string& caption) override;
    void Refresh() override;
    void setMousePointer(int pointer) override { window_().setBusy(pointer == ui::vbHourglass); }
    platform::HWND hWnd() const override { return window_().hwnd(); }
    void Show() override;

private:
    std::function<FormWindow&()> window_;
    bool toFront_;
};

} // namespace w32front
