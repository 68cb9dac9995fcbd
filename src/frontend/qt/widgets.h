#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <optional>

// A label that acts on a click, and on Space or Enter once Tab has given it the focus (a click
// does not). Assistive technology sees it in its role, with a press action.
class PressableLabel : public QLabel {
    Q_OBJECT
public:
    PressableLabel(QWidget* parent, QAccessible::Role role);
    QAccessible::Role accessibleRole() const { return role_; }

public slots:
    // What a click, Space, Enter and the press action all do.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QAccessible::Role role_;
};

// A picture that reacts to clicks: a button to assistive technology.
class Picture : public PressableLabel {
    Q_OBJECT
public:
    explicit Picture(QWidget* parent) : PressableLabel(parent, QAccessible::Button) {}

protected:
    // Reached with the keyboard, it shows the style's focus frame, as the push button does.
    void paintEvent(QPaintEvent* event) override;
};

// A rectangle shape with a 1-pixel border; filled or transparent inside.
// Its width is kept in twips, the window's unit, and shown at 15 twips a pixel.
class Shape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(float Width READ Width WRITE setWidth NOTIFY widthChanged)
public:
    Shape(QWidget* parent, QColor border, std::optional<QColor> fill);
    float Width() const { return width_; }
    void setWidth(float twips);

    // Makes the shape a progress bar to assistive technology, its width read from 0 to
    // `fullScale` (a width past it reads as full). Its value changes reach assistive technology
    // at display rate, as its pixels do.
    void setProgressScale(float fullScale) { fullScale_ = fullScale; }
    std::optional<float> progressScale() const { return fullScale_; }
    float progressValue() const;

    // While paced, the shape is shown at display rate: a width set many times a second (once
    // per copied block) reaches the screen when its pixels change, painted at once but at most
    // once a frame, and a width left waiting is painted when its frame comes. The end of pacing
    // paints the last width at once. Everything that watches the shape's geometry, assistive
    // technology included, follows at the same rate. Pacing nests: each copy holds one.
    void setPaced(bool paced);

signals:
    void widthChanged(float twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int FrameMs = 16;
    int pixelWidth() const;
    // Resizes to the width's pixels; paced, also paints the area at once.
    void showWidth();
    void announceValue();

    QColor border_;
    std::optional<QColor> fill_;
    float width_ = 0;
    std::optional<float> fullScale_;
    float announced_ = -1; // the value assistive technology was last told
    int paced_ = 0;        // nested copies each hold one
    QElapsedTimer lastShown_;
    QTimer nextFrame_;
};
