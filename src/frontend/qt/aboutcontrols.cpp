#include "frontend/qt/aboutcontrols.h"

#include <QMouseEvent>
#include <QPainter>

LinkLabel::LinkLabel(QWidget* parent) : PressableLabel(parent, QAccessible::Link) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    emit moved();
    event->accept();
}

void LinkLabel::focusInEvent(QFocusEvent* event) {
    PressableLabel::focusInEvent(event);
    emit focusChanged(true);
}

void LinkLabel::focusOutEvent(QFocusEvent* event) {
    PressableLabel::focusOutEvent(event);
    emit focusChanged(false);
}

Line::Line(QWidget* parent, QPoint from, QPoint to, QColor colour)
    : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(QRect(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                      QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y()))));
}

void Line::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), colour_);
}
