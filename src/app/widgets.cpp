#include "app/widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

void Picture::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

Shape::Shape(QWidget* parent, QColor border, std::optional<QColor> fill)
    : QWidget(parent), border_(border), fill_(fill) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setWidth(float twips) {
    width_ = twips;
    // The bar is never clamped: a width past the frame simply draws past it.
    const double pixels = std::max(0.0, std::round(double(twips) / 15.0));
    resize(static_cast<int>(std::min(pixels, 1e6)), height());
    emit widthChanged(twips);
}

void Shape::paintEvent(QPaintEvent*) {
    if (width() <= 0)
        return;
    QPainter p(this);
    if (fill_)
        p.fillRect(rect(), *fill_);
    p.setPen(QPen(border_, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
