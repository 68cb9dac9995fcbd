#include "about/layout.h"

namespace layout {

namespace {
constexpr std::uint32_t black = 0x00000000;
constexpr std::uint32_t red = 0x000000FF;
constexpr std::uint32_t blue = 0x00FF0000;
constexpr Font times(double size, bool underline = false) {
    return {"Times New Roman", size, true, underline};
}
constexpr Font arialBold(double size) {
    return {"Arial", size, true};
}

constexpr Control controls[] = {
    {.name = "Label3", .index = -1, .kind = Kind::Label, .left = 120, .top = 3600, .width = 5175,
     .height = 255, .text = "Visit Norvane Softwares website for more freewares & sharewares",
     .foreColor = red},
    {.name = "lbltitle", .index = 0, .kind = Kind::Label, .left = 840, .top = 1800, .width = 735,
     .height = 255, .text = "Email : ", .foreColor = black, .font = times(12)},
    {.name = "Label2", .index = -1, .kind = Kind::Label, .left = 2280, .top = 840, .width = 1935,
     .height = 255, .text = "The fastest file copier.", .font = arialBold(8.25)},
    {.name = "Label1", .index = -1, .kind = Kind::Label, .left = 840, .top = 360, .width = 3375,
     .height = 495, .text = "ZINTRA v1.0", .foreColor = blue, .font = arialBold(20.25)},
    {.name = "imgauto", .index = 0, .kind = Kind::Image, .left = 240, .top = 360, .width = 480,
     .height = 480, .picture = "stopwatch"},
    {.name = "imgauto", .index = 1, .kind = Kind::Image, .left = 4440, .top = 360, .width = 480,
     .height = 480, .picture = "stopwatch"},
    {.name = "Image1", .index = -1, .kind = Kind::Image, .left = 4200, .top = 2880, .width = 540,
     .height = 375, .picture = "flag"},
    {.name = "lblwebsite", .index = -1, .kind = Kind::Label, .left = 1680, .top = 2160,
     .width = 2535, .height = 255, .text = "http://norvane.example", .foreColor = black,
     .font = times(11.25, true)},
    {.name = "lbltitle", .index = 8, .kind = Kind::Label, .left = 600, .top = 2160, .width = 975,
     .height = 255, .text = "Website : ", .foreColor = black, .font = times(12)},
    {.name = "Line1", .index = 5, .kind = Kind::Line, .left = 120, .top = 2640, .width = 5160,
     .height = 2640, .foreColor = vbWindowText},
    {.name = "Line1", .index = 4, .kind = Kind::Line, .left = 5160, .top = 3360, .width = 5160,
     .height = 1320, .foreColor = vbWindowText},
    {.name = "Line1", .index = 3, .kind = Kind::Line, .left = 120, .top = 3360, .width = 120,
     .height = 1320, .foreColor = vbWindowText},
    {.name = "Line1", .index = 2, .kind = Kind::Line, .left = 120, .top = 3360, .width = 5160,
     .height = 3360, .foreColor = vbWindowText},
    {.name = "Line1", .index = 1, .kind = Kind::Line, .left = 120, .top = 1320, .width = 5160,
     .height = 1320, .foreColor = vbWindowText},
    {.name = "lblemail", .index = -1, .kind = Kind::Label, .left = 1680, .top = 1800,
     .width = 2535, .height = 255, .text = "info@norvane.example", .foreColor = black,
     .font = times(11.25, true)},
    {.name = "lbltitle", .index = 5, .kind = Kind::Label, .left = 840, .top = 1440, .width = 3495,
     .height = 270, .text = "For any bugs, suggestions, queries", .font = times(11.25)},
    {.name = "lbltitle", .index = 4, .kind = Kind::Label, .left = 1200, .top = 3840,
     .width = 3255, .height = 255, .text = "© 2003-2004 Norvane Softwares", .font = times(9.75)},
    {.name = "lbltitle", .index = 3, .kind = Kind::Label, .left = 720, .top = 2760, .width = 3255,
     .height = 270, .text = "Programmed by M. Norvane", .foreColor = red, .font = times(12)},
    {.name = "lbltitle", .index = 2, .kind = Kind::Label, .left = 960, .top = 3120, .width = 2655,
     .height = 270, .text = "Release Date : 21 October 2004", .font = times(9.75)},
};
} // namespace

const Form frmabout = {
    .name = "frmabout",
    .caption = "About Norvane's ZINTRA",
    .clientWidth = 5310,
    .clientHeight = 4095,
    .backColor = 0x00FFFFFF,
    .font = {"Arial", 8.25},
    .icon = "info",
    .menuName = nullptr,
    .menuCaption = nullptr,
    .menu = {},
    .controls = controls,
};

} // namespace layout
