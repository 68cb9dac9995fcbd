#include "platform/ui/window.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {
int copiesRunning = 0;
bool watching = false;

bool anyWindowOpen() {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
        const Qt::WindowType type = w->windowType();
        return w->isVisible() && (type == Qt::Window || type == Qt::Dialog);
    });
}

void endIfNothingLeft() {
    if (watching && copiesRunning == 0 && !anyWindowOpen())
        QCoreApplication::quit();
}

class WindowCloseWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            QTimer::singleShot(0, qApp, endIfNothingLeft);
        return false;
    }
};
// Qt's own title bar on Wayland offers maximise on every window, whatever its flags, and asks
// the compositor for it. A compositor that grants it requires the window to take the size it
// names, and weston ends a client whose fixed window keeps its own. So a fixed window may take
// that size while the compositor holds it maximised, and asks to be restored after each frame
// until it is back at its size (weston restores only a window whose maximised frame it has).
class FixedSizeHolder final : public QObject {
public:
    explicit FixedSizeHolder(QWindow& window) : QObject(&window), window(window) {
        connect(&window, &QWindow::windowStateChanged, this, &FixedSizeHolder::stateChanged);
        connect(&window, &QWindow::widthChanged, this, &FixedSizeHolder::sizeChanged);
        connect(&window, &QWindow::heightChanged, this, &FixedSizeHolder::sizeChanged);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && !fixed.isEmpty())
            QTimer::singleShot(0, this, [this] { // once this frame is out
                if (fixed.isEmpty())
                    return;
                window.setWindowStates(Qt::WindowNoState);
                window.requestUpdate();
            });
        return false;
    }

private:
    void stateChanged(Qt::WindowState state) {
        if (state != Qt::WindowMaximized && state != Qt::WindowFullScreen)
            return;
        if (fixed.isEmpty()) {
            if (window.minimumSize() != window.maximumSize())
                return;
            fixed = window.maximumSize();
            window.setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        }
        window.requestUpdate();
    }
    void sizeChanged() {
        if (!fixed.isEmpty() && window.size() == fixed &&
            window.windowStates() == Qt::WindowNoState) {
            window.setMaximumSize(fixed);
            fixed = QSize();
        }
    }

    QWindow& window;
    QSize fixed; // while the window may take another size
};

class FixedSizeWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        QWindow* window = widget->windowHandle();
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && window && (type == Qt::Window || type == Qt::Dialog) &&
            !window->findChild<FixedSizeHolder*>(QString(), Qt::FindDirectChildrenOnly))
            new FixedSizeHolder(*window);
        return false;
    }
};
} // namespace

void chooseDisplayServer() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void InitCommonControls() {}

void applyFixedLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf5));
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xd7));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Link, Qt::blue);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    app.setPalette(p);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    app.setFont(font);
}

void DoEvents() {
    QCoreApplication::processEvents();
}

void setMousePointer(QWidget& window, int pointer) {
    if (pointer == vbHourglass) {
        window.setCursor(Qt::WaitCursor);
        // The pointer is set before a call that blocks the thread: let the display server have it
        // now. No input is taken, so no handler the user starts runs inside; what runs (timers,
        // paints) is what a copy's DoEvents runs too.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        window.unsetCursor();
    }
}

void holdFixedSizes(QApplication& app) {
    app.installEventFilter(new FixedSizeWatcher(&app));
}

void watchApplicationEnd(QApplication& app) {
    app.setQuitOnLastWindowClosed(false);
    if (!watching)
        app.installEventFilter(new WindowCloseWatcher(&app));
    watching = true;
}

CopyInProgress::CopyInProgress() {
    ++copiesRunning;
}

CopyInProgress::~CopyInProgress() {
    if (--copiesRunning == 0)
        QTimer::singleShot(0, qApp, endIfNothingLeft);
}

} // namespace platform
