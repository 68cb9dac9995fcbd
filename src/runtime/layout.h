#pragma once

#include <cstdint>
#include <span>

// A window's controls as data, in twips and 0x00BBGGRR colours, for every front end to build.
namespace layout {

enum class Kind { CommandButton, TextBox, Image, Shape, Label, Line };

// Colours from the desktop's scheme rather than fixed ones.
inline constexpr std::uint32_t vbWindowText = 0x80000008;
inline constexpr std::uint32_t vbButtonText = 0x80000012;
inline constexpr std::uint32_t vbHighlightText = 0x8000000E;
inline constexpr std::uint32_t NoColour = 0xFFFFFFFF; // a transparent shape

struct Font {
    const char* name = nullptr; // none: the form's
    double size = 0;
    bool bold = false;
    bool underline = false;
};

struct Control {
    const char* name;
    int index; // within a control array; -1 for a single control
    Kind kind;
    // Left, top, width, height; for a line its two ends, X1, Y1, X2, Y2.
    int left, top, width, height;
    const char* text = "";
    const char* toolTip = "";
    std::uint32_t foreColor = vbButtonText; // a shape's or line's border
    std::uint32_t fillColor = NoColour;     // a shape's inside
    Font font = {};
    const char* picture = ""; // an image's picture, by resource name
    bool visible = true;
    // What assistive technology calls a control that shows no text of its own.
    const char* accessibleName = "";
};

// An underlined label is a link: it lights up under the pointer and leads somewhere.
constexpr bool isLink(const Control& c) {
    return c.kind == Kind::Label && c.font.underline;
}

struct MenuItem {
    const char* name;
    const char* caption;
    bool enabled = true;
    bool checkable = false;
};

struct Form {
    const char* name;
    const char* caption;
    int clientWidth, clientHeight; // twips
    std::uint32_t backColor;
    Font font;
    const char* icon; // resource name
    const char* menuName;
    const char* menuCaption;
    std::span<const MenuItem> menu;
    std::span<const Control> controls; // in creation order, which is the drawing order
};

} // namespace layout
