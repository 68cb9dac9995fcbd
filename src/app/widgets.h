#pragma once

#include <QLabel>
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

signals:
    void widthChanged(float twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor border_;
    std::optional<QColor> fill_;
    float width_ = 0;
};
