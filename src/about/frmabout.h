#pragma once

#include "runtime/controls.h"

#include <cstdint>
#include <string_view>

// The About window's controls that its handlers use.
struct frmaboutControls {
    ui::Form& Me;
    ui::Label& lblwebsite;
    ui::Label& lblemail;
};

// The About window's handlers, whatever draws the window: the two links light up under the
// pointer and lead to fixed addresses.
class frmabout : public frmaboutControls {
public:
    explicit frmabout(const frmaboutControls& controls) : frmaboutControls(controls) {}

    // Where the two links lead: fixed addresses, not the texts the labels show.
    static constexpr std::string_view websiteTarget = "http://freewares.norvane.example/";
    static constexpr std::string_view emailTarget = "mailto:support@norvane.example";

    // A link's text colours, 0x00BBGGRR.
    static constexpr std::uint32_t linkColour = 0x00000000;
    static constexpr std::uint32_t litLinkColour = 0x00FF0000;

    // The pointer over the background (or a line): both links black, but for one the keyboard
    // is on.
    void Form_MouseMove();
    void lblwebsite_MouseMove();
    void lblemail_MouseMove();
    void lblwebsite_Click();
    void lblemail_Click();
    // A link Tab reaches lights up as under the pointer.
    void lblwebsite_FocusChanged();
    void lblemail_FocusChanged();
};
