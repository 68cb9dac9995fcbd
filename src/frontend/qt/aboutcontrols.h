#pragma once

#include "frontend/qt/widgets.h"

#include <QColor>
#include <QWidget>

// A label that reports the pointer moving over it and clicks on it, and keeps both to itself;
// the pointer over it is a pointing hand;
// a link to assistive technology, and followed with Space or Enter once Tab reaches it.
class LinkLabel : public PressableLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent);

signals:
    void moved();
    void focusChanged(bool in);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
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
