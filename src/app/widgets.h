#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <optional>

// A picture that reacts to clicks.
class Picture : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
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

    // While one lives, the shape is shown at display rate: a width set many times a second
    // (once per copied block) reaches the screen when its pixels change, painted at once but at
    // most once a frame, and a width left waiting is painted when its frame comes. Its end
    // paints the last width at once. Everything that watches the shape's geometry, assistive
    // technology included, follows at the same rate.
    class DisplayRate {
    public:
        explicit DisplayRate(Shape& shape);
        ~DisplayRate();
        DisplayRate(const DisplayRate&) = delete;
        DisplayRate& operator=(const DisplayRate&) = delete;

    private:
        Shape& shape_;
    };

signals:
    void widthChanged(float twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int FrameMs = 16;
    int pixelWidth() const;
    // Resizes to the width's pixels; paced, also paints the area at once.
    void showWidth();

    QColor border_;
    std::optional<QColor> fill_;
    float width_ = 0;
    int paced_ = 0; // nested copies each hold one
    QElapsedTimer lastShown_;
    QTimer nextFrame_;
};
