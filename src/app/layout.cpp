#include "app/layout.h"

namespace layout {

namespace {
constexpr Control controls[] = {
    {.name = "cmdcopy", .index = -1, .kind = Kind::CommandButton, .left = 2400, .top = 1560,
     .width = 1815, .height = 375, .text = "Start Copying",
     .toolTip = "Click to start the file copy."},
    {.name = "txtoutput", .index = -1, .kind = Kind::TextBox, .left = 1560, .top = 1080,
     .width = 3255, .height = 285},
    {.name = "txtinput", .index = -1, .kind = Kind::TextBox, .left = 1560, .top = 480,
     .width = 3255, .height = 285},
    {.name = "Image2", .index = -1, .kind = Kind::Image, .left = 5040, .top = 930, .width = 480,
     .height = 480,
     .toolTip = "Click to select/change  the location where the file need to be copied.",
     .picture = "folder-destination", .accessibleName = "Select destination folder"},
    {.name = "shpin", .index = -1, .kind = Kind::Shape, .left = 840, .top = 2040, .width = 15,
     .height = 255, .foreColor = vbWindowText, .fillColor = 0x00FF0000, .visible = false,
     .accessibleName = "Copy progress"},
    {.name = "shpout", .index = -1, .kind = Kind::Shape, .left = 840, .top = 2040,
     .width = 4995, .height = 255, .foreColor = vbWindowText, .visible = false},
    {.name = "lbldest", .index = -1, .kind = Kind::Label, .left = 480, .top = 1080, .width = 975,
     .height = 255, .text = "Destination :"},
    {.name = "lblfilename", .index = -1, .kind = Kind::Label, .left = 480, .top = 480,
     .width = 855, .height = 255, .text = "Filename:"},
    {.name = "Image1", .index = -1, .kind = Kind::Image, .left = 5040, .top = 330, .width = 480,
     .height = 480, .toolTip = "Click to select the file to be copied.",
     .picture = "folder-source", .accessibleName = "Select file"},
};

constexpr MenuItem help[] = {
    {.name = "mnucont", .caption = "Context Menu", .checkable = true},
    {.name = "mnuread", .caption = "Readme", .enabled = false},
    {.name = "mnuupdate", .caption = "Check for update"},
    {.name = "mnuabout", .caption = "About"},
};
} // namespace

const Form frmzintra = {
    .name = "frmzintra",
    .caption = "ZINTRA Free Version",
    .clientWidth = 6270,
    .clientHeight = 2400,
    .backColor = vbHighlightText,
    .font = {"Liberation Sans", 8},
    .icon = "stopwatch",
    .menuName = "mnuhelp",
    .menuCaption = "Help",
    .menu = help,
    .controls = controls,
};

} // namespace layout
