#pragma once

#include "runtime/controls.h"

#include <string>

// The main window's controls that its handlers use.
struct frmzintraControls {
    ui::Form& Me;
    ui::TextBox& txtinput;
    ui::TextBox& txtoutput;
    ui::Shape& shpin;
    ui::Shape& shpout;
    ui::MenuItem& mnucont;
    ui::Form& frmabout; // loaded when shown
};

// The main window's handlers and state, whatever draws the window. Each handler is declared
// here once and defined in the folder of the subsystem it belongs to: src/copy, src/dialogs,
// src/shellverb, src/update, src/app.
class frmzintra : public frmzintraControls {
public:
    explicit frmzintra(const frmzintraControls& controls) : frmzintraControls(controls) {}

    // The folder of the program file, ending in the separator.
    std::string apppath;
    // The destination folder last chosen in the folder browser.
    std::string destfolder;

    // Loading: runs once, before the window is first shown.
    void Form_Load();

    // Start-up steps of Form_Load.
    void takeCommandLine(const std::string& argumentText);
    void probeContextMenu(bool resumeNextInForce);

    // Copy.
    bool splitfiles();
    void cmdcopy_Click();

    // Source and destination selection.
    void Image1_Click();
    void Image2_Click();
    void browsefolder();
    void selectdest();

    // Help menu.
    void mnucont_Click();
    void mnuupdate_Click();
    void mnuabout_Click();

    // Text of a box as the program reads it: up to its first NUL.
    static void setText(ui::TextBox& box, const std::string& text);
};
