#pragma once

#include "runtime/controls.h"

#include <map>
#include <optional>

// The fake platform's answers, set by each test, and a log of what the handlers had the
// platform and the controls do, in order.
namespace fake {

struct Script {
    // The dialogs' answers, nothing for a cancel; the version file, nothing when the server is
    // out of reach.
    std::optional<std::string> file, folder, body;
    bool yes = false, browserRaises = false, registryReadOnly = false, noShellObject = false;
    std::map<std::string, std::string> registry; // by the names the shell object writes
    std::string log;
};
inline Script script;

inline void note(const std::string& what) {
    script.log += (script.log.empty() ? "" : "; ") + what;
}

// A control of any kind, noting what is done to its looks.
struct Control final : ui::Form, ui::Shape, ui::TextBox, ui::MenuItem, ui::Label {
    explicit Control(const char* name = "") : name(name) {}
    const char* name;
    std::string text;
    bool checked = false, focus = false;
    std::uint32_t colour = 0;

    void say(const std::string& what) const { note(name + (' ' + what)); }
    void setCaption(const std::string& caption) override { say("caption " + caption); }
    void Refresh() override { say("refresh"); }
    void setMousePointer(int pointer) override { say("pointer " + std::to_string(pointer)); }
    platform::HWND hWnd() const override { return nullptr; }
    void Show() override { say("shown"); }
    void setVisible(bool visible) override { say(visible ? "shown" : "hidden"); }
    void setWidth(float twips) override { say("width " + std::to_string(int(twips))); }
    void setPaced(bool paced) override { say(paced ? "paced" : "unpaced"); }
    std::string Text() const override { return text; }
    void setText(const std::string& value) override { text = value; }
    bool Checked() const override { return checked; }
    void setChecked(bool value) override { checked = value; }
    void setForeColor(std::uint32_t bgr) override { colour = bgr; }
    bool HasFocus() const override { return focus; }
};

} // namespace fake
