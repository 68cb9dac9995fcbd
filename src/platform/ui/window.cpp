#include "platform/ui/window.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

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
    if (pointer == vbHourglass)
        window.setCursor(Qt::WaitCursor);
    else
        window.unsetCursor();
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
