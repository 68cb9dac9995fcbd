#pragma once

#include "about/frmabout.h"
#include "frontend/qt/adapters.h"
#include "frontend/qt/build.h"

#include <QWidget>

class LinkLabel;

// The About window as Qt draws it, built from its layout; its handlers are frmabout's. The
// program keeps at most one; closing it unloads it, and the next Load makes a fresh one.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    // The loaded About window, loaded now if it was not. It has no owner.
    static AboutWindow& Load();
    // The loaded About window, or nullptr.
    static AboutWindow* loaded();

    // A control by its name and, in a control array, its index.
    template <typename Widget = QLabel> Widget* control(const char* name, int index = -1) const {
        return qtfront::find<Widget>(controls_, name, index);
    }
    LinkLabel* lblwebsite;
    LinkLabel* lblemail;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    AboutWindow();
    ~AboutWindow() override;

    qtfront::Controls controls_;
    qtfront::Form me_;
    std::optional<qtfront::Label> website_, email_;

public:
    // The handlers, on this window's controls.
    std::optional<frmabout> handlers;
};
