#include "frontend/qt/widgets.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>
#include <cmath>

namespace {
class PressableAccessible final : public QAccessibleWidget {
public:
    explicit PressableAccessible(PressableLabel* label)
        : QAccessibleWidget(label, label->accessibleRole()) {}

    QString text(QAccessible::Text t) const override {
        const QString own = QAccessibleWidget::text(t);
        return own.isEmpty() && t == QAccessible::Name ? label()->text() : own;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        // Queued, as Qt's own buttons do: a handler that opens a modal dialog would otherwise
        // hold back the answer to the assistive technology that asked until the dialog closes.
        if (action == pressAction() && label()->isEnabled())
            QMetaObject::invokeMethod(label(), &PressableLabel::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }

private:
    PressableLabel* label() const { return static_cast<PressableLabel*>(widget()); }
};

class ShapeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ShapeAccessible(Shape* shape) : QAccessibleWidget(shape) {}

    QAccessible::Role role() const override {
        return scale() ? QAccessible::ProgressBar : QAccessibleWidget::role();
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface && scale())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return shape()->progressValue(); }
    void setCurrentValue(const QVariant&) override {} // shown, not set
    QVariant maximumValue() const override { return scale().value_or(0); }
    QVariant minimumValue() const override { return 0.0f; }
    QVariant minimumStepSize() const override { return 0.0f; }

private:
    Shape* shape() const { return static_cast<Shape*>(widget()); }
    std::optional<float> scale() const { return shape()->progressScale(); }
};

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String("PressableLabel"))
        return new PressableAccessible(static_cast<PressableLabel*>(object));
    if (className == QLatin1String("Shape"))
        return new ShapeAccessible(static_cast<Shape*>(object));
    return nullptr;
}

void installAccessibleControls() {
    QAccessible::installFactory(accessibleControl);
}
Q_COREAPP_STARTUP_FUNCTION(installAccessibleControls)
} // namespace

PressableLabel::PressableLabel(QWidget* parent, QAccessible::Role role)
    : QLabel(parent), role_(role) {
    setFocusPolicy(Qt::TabFocus);
}

void PressableLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->isAutoRepeat() || event->modifiers() & ~Qt::KeypadModifier ||
        (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter))
        return QLabel::keyPressEvent(event);
    event->accept();
    click();
}

void PressableLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
}

void Picture::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
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
    if (!paced_) {
        resize(pixelWidth(), height());
        announceValue();
    } else if (pixelWidth() != width() && !nextFrame_.isActive()) {
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
    announceValue();
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

float Shape::progressValue() const {
    return std::clamp(width_, 0.0f, fullScale_.value_or(0));
}

void Shape::announceValue() {
    if (!fullScale_ || !QAccessible::isActive() || progressValue() == announced_)
        return;
    announced_ = progressValue();
    QAccessibleValueChangeEvent event(this, announced_);
    QAccessible::updateAccessibility(&event);
}

void Shape::setPaced(bool paced) {
    if (paced) {
        ++paced_;
        return;
    }
    showWidth();
    --paced_;
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
