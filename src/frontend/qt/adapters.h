#pragma once

#include "frontend/qt/widgets.h"
#include "runtime/controls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <functional>

// Qt's widgets as the handlers' controls. The program's text is bytes; Qt's is UTF-16: the text
// bridge converts both ways.
namespace qtfront {

class TextBox final : public ui::TextBox {
public:
    explicit TextBox(QLineEdit& box) : box_(box) {}
    std::string Text() const override;
    void setText(const std::string& text) override;

private:
    QLineEdit& box_;
};

class ShapeControl final : public ui::Shape {
public:
    explicit ShapeControl(::Shape& shape) : shape_(shape) {}
    void setVisible(bool visible) override { shape_.setVisible(visible); }
    void setWidth(float twips) override { shape_.setWidth(twips); }
    void setPaced(bool paced) override { shape_.setPaced(paced); }

private:
    ::Shape& shape_;
};

class MenuItem final : public ui::MenuItem {
public:
    explicit MenuItem(QAction& action) : action_(action) {}
    bool Checked() const override { return action_.isChecked(); }
    void setChecked(bool checked) override { action_.setChecked(checked); }

private:
    QAction& action_;
};

class Label final : public ui::Label {
public:
    explicit Label(QLabel& label) : label_(label) {}
    void setForeColor(std::uint32_t bgr) override;
    bool HasFocus() const override { return label_.hasFocus(); }

private:
    QLabel& label_;
};

// A window: `window()` gives it, loading it first where `Show` would (the About window). A
// window shown `toFront` is raised and activated too, which the main window at start-up leaves
// to the window manager.
class Form final : public ui::Form {
public:
    Form(std::function<QWidget&()> window, std::function<QWidget&()> client, bool toFront)
        : window_(std::move(window)), client_(std::move(client)), toFront_(toFront) {}
    void setCaption(const std::string& caption) override;
    void Refresh() override { client_().repaint(); }
    void setMousePointer(int pointer) override;
    platform::HWND hWnd() const override;
    void Show() override;

private:
    std::function<QWidget&()> window_;
    std::function<QWidget&()> client_;
    bool toFront_;
};

} // namespace qtfront
