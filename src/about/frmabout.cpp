#include "about/frmabout.h"

#include "platform/ui/shell.h"

#include <string>

namespace {
std::uint32_t shownColour(const ui::Label& link) {
    return link.HasFocus() ? frmabout::litLinkColour : frmabout::linkColour;
}
} // namespace

void frmabout::Form_MouseMove() {
    lblwebsite.setForeColor(shownColour(lblwebsite));
    lblemail.setForeColor(shownColour(lblemail));
}

void frmabout::lblwebsite_MouseMove() {
    lblwebsite.setForeColor(litLinkColour);
}

void frmabout::lblemail_MouseMove() {
    lblemail.setForeColor(litLinkColour);
}

void frmabout::lblwebsite_Click() {
    using namespace platform;
    ShellExecuteA(Me.hWnd(), "open", std::string(websiteTarget), "", SW_SHOWNORMAL);
}

void frmabout::lblemail_Click() {
    using namespace platform;
    ShellExecuteA(Me.hWnd(), "open", std::string(emailTarget), "", SW_SHOWNORMAL);
}

void frmabout::lblwebsite_FocusChanged() {
    lblwebsite.setForeColor(shownColour(lblwebsite));
}

void frmabout::lblemail_FocusChanged() {
    lblemail.setForeColor(shownColour(lblemail));
}
