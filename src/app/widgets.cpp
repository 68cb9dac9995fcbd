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
    nextFrame_.setSingleShot(true);
    nextFrame_.setTimerType(Qt::PreciseTimer);
    connect(&nextFrame_, &QTimer::timeout, this, &Shape::showWidth);
}

int Shape::pixelWidth() const {
    // The bar is never clamped: a width past the frame simply draws past it.
    const double pixels = std::max(0.0, std::round(double(width_) / 15.0));
    return static_cast<int>(std::min(pixels, 1e6));
}

void Shape::setWidth(float twips) {
    width_ = twips;
    if (!paced_)
        resize(pixelWidth(), height());
    else if (pixelWidth() != width() && !nextFrame_.isActive()) {
        const qint64 since = lastShown_.isValid() ? lastShown_.elapsed() : FrameMs;
        if (since >= FrameMs)
            showWidth();
        else
            nextFrame_.start(int(FrameMs - since));
    }
    emit widthChanged(twips);
}

void Shape::showWidth() {
    nextFrame_.stop();
    if (pixelWidth() == width())
        return;
    const QRect before = geometry();
    resize(pixelWidth(), height());
    if (paced_) {
        // Only the bar changed: redrawing just its area keeps each frame's cost small.
        if (QWidget* area = parentWidget())
            area->repaint(before.united(geometry()));
        else
            repaint();
        lastShown_.start();
    }
}

Shape::DisplayRate::DisplayRate(Shape& shape) : shape_(shape) {
    ++shape_.paced_;
}

Shape::DisplayRate::~DisplayRate() {
    shape_.showWidth();
    --shape_.paced_;
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
