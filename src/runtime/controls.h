#pragma once

#include "platform/ui/hwnd.h"

#include <cstdint>
#include <string>

// What the handlers may do to the windows' controls, and nothing more. Each front end adapts
// its own controls to these; tests use fakes.
namespace ui {

class TextBox {
public:
    virtual std::string Text() const = 0;
    virtual void setText(const std::string& text) = 0;

protected:
    ~TextBox() = default;
};

// A rectangle whose width, in twips, may grow past its frame.
class Shape {
public:
    virtual void setVisible(bool visible) = 0;
    virtual void setWidth(float twips) = 0;
    // While paced, widths set many times a second reach the screen at display rate, the last
    // one at once when pacing ends.
    virtual void setPaced(bool paced) = 0;

protected:
    ~Shape() = default;
};

class MenuItem {
public:
    virtual bool Checked() const = 0;
    virtual void setChecked(bool checked) = 0;

protected:
    ~MenuItem() = default;
};

class Label {
public:
    virtual void setForeColor(std::uint32_t bgr) = 0; // 0x00BBGGRR
    // Reached with the keyboard: a link there keeps its highlight.
    virtual bool HasFocus() const = 0;

protected:
    ~Label() = default;
};

inline constexpr int vbDefault = 0;
inline constexpr int vbHourglass = 11;

class Form {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // Paints what changed now, before the handler goes on.
    virtual void Refresh() = 0;
    // vbHourglass or vbDefault over the whole window.
    virtual void setMousePointer(int pointer) = 0;
    virtual platform::HWND hWnd() const = 0;
    // Loads the form if it is not, shows it and brings it to the front.
    virtual void Show() = 0;

protected:
    ~Form() = default;
};

// Paces a shape while it lives.
class Paced {
public:
    explicit Paced(Shape& shape) : shape_(shape) { shape_.setPaced(true); }
    ~Paced() { shape_.setPaced(false); }
    Paced(const Paced&) = delete;
    Paced& operator=(const Paced&) = delete;

private:
    Shape& shape_;
};

} // namespace ui
