#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

// A label that reports the pointer moving over it and clicks on it, and keeps both to itself.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent);

signals:
    void moved();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A 1-pixel line between two points, inclusive. It takes no mouse events: the pointer over
// it is over whatever lies beneath.
class Line : public QWidget {
    Q_OBJECT
public:
    Line(QWidget* parent, QPoint from, QPoint to, QColor colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
