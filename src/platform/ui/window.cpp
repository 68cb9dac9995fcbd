#include "platform/ui/window.h"

#include "platform/ui/qtwindow.h"
#include "runtime/controls.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
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

// Every role of every group: a role left unset would come from the desktop's theme (a dark
// theme's Light and Shadow would etch the disabled menu item's text dark).
struct RoleColours {
    QPalette::ColorRole role;
    QRgb normal; // active and inactive
    QRgb disabled;
};
constexpr RoleColours fixedColours[] = {
    {QPalette::WindowText, 0x000000, 0x808080},    {QPalette::Button, 0xf0f0f0, 0xf0f0f0},
    {QPalette::Light, 0xffffff, 0xffffff},         {QPalette::Midlight, 0xcacaca, 0xcacaca},
    {QPalette::Dark, 0x9f9f9f, 0xbebebe},          {QPalette::Mid, 0xb8b8b8, 0xb8b8b8},
    {QPalette::Text, 0x000000, 0x808080},          {QPalette::BrightText, 0xff0000, 0xff0000},
    {QPalette::ButtonText, 0x000000, 0x808080},    {QPalette::Base, 0xffffff, 0xffffff},
    {QPalette::Window, 0xf0f0f0, 0xf0f0f0},        {QPalette::Shadow, 0x767676, 0xb1b1b1},
    {QPalette::Highlight, 0x0078d7, 0x0078d7},     {QPalette::HighlightedText, 0xffffff, 0xffffff},
    {QPalette::Link, 0x0000ff, 0x0000ff},          {QPalette::LinkVisited, 0xff00ff, 0xff00ff},
    {QPalette::AlternateBase, 0xf5f5f5, 0xf5f5f5}, {QPalette::ToolTipBase, 0xffffe1, 0xffffe1},
    {QPalette::ToolTipText, 0x000000, 0x000000},   {QPalette::PlaceholderText, 0x808080, 0x808080},
};
static_assert(std::size(fixedColours) == QPalette::NColorRoles - 1, "every role but NoRole");

// Puts back whatever differs from the fixed look; what is already set stays as it is.
void keepLook() {
    QPalette palette;
    for (const RoleColours& c : fixedColours) {
        palette.setColor(QPalette::Active, c.role, QColor(c.normal));
        palette.setColor(QPalette::Inactive, c.role, QColor(c.normal));
        palette.setColor(QPalette::Disabled, c.role, QColor(c.disabled));
    }
    const bool sheetDropped = !qApp->styleSheet().isEmpty();
    if (sheetDropped)
        qApp->setStyleSheet(QString());
    // Every change of style brings back the theme's fonts for single classes (menus, labels…);
    // setting the application's font drops them.
    QApplication::setFont(layoutFont(QStringLiteral("Liberation Sans"), 8));
    // A widget the sheet styled keeps the sheet's font; one without a font of its own takes
    // the application's again.
    const QWidgetList widgets = sheetDropped ? QApplication::allWidgets() : QWidgetList();
    for (QWidget* widget : widgets)
        if (!widget->testAttribute(Qt::WA_SetFont))
            widget->setFont(QFont());
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
}

// A theme may set its font, palette or style sheet after start-up, or again when the desktop's
// settings change: the fixed look is put back once the change is through.
class LookKeeper final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool applicationWide = watched == qApp && (type == QEvent::ApplicationFontChange ||
                                                         type == QEvent::ApplicationPaletteChange);
        if ((applicationWide || type == QEvent::ThemeChange) && !pending_) {
            pending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    pending_ = false;
                    keepLook();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool pending_ = false;
};
} // namespace

void chooseDisplayServer() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void InitCommonControls() {}

QFont layoutFont(const QString& family, qreal points) {
    QFont font(family);
    // Widgets turn points into pixels at their screen's dpi, which stays the desktop's when
    // Qt's scaling is off.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.setPointSizeF(points * 96 / std::max(dpi, 1));
    return font;
}

void applyFixedLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    keepLook();
    static QPointer<LookKeeper> keeper;
    if (!keeper) {
        keeper = new LookKeeper(&app);
        app.installEventFilter(keeper);
    }
}

void DoEvents() {
    QCoreApplication::processEvents();
}

void setMousePointer(QWidget& window, int pointer) {
    if (pointer == ui::vbHourglass) {
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
