#include "platform/ui/window.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>
#include <QTimer>
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
} // namespace

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
