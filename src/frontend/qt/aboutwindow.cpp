#include "frontend/qt/aboutwindow.h"

#include "about/layout.h"
#include "frontend/qt/aboutcontrols.h"
#include "runtime/twips.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {
AboutWindow* current = nullptr;

// A plain widget shown as a window reaches assistive technology as a filler; the About window
// is a dialog there, named by its caption.
QAccessibleInterface* announcedAsDialog(const QString& className, QObject* object) {
    if (className == QLatin1String("AboutWindow") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

// The window's controls as it draws them. Labels: the window's background, text at the top
// left, no border, no mouse moves passed on to the window; links report theirs. Lines take no
// mouse events: the pointer over one is over whatever lies beneath.
QWidget* make(QWidget& form, const layout::Control& c) {
    const QPalette& palette = form.palette();
    if (c.kind == layout::Kind::Line)
        return new Line(&form, qtfront::point(c.left, c.top), qtfront::point(c.width, c.height),
                        qtfront::colour(c.foreColor, palette));
    QLabel* label = layout::isLink(c) ? new LinkLabel(&form) : new QLabel(&form);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_NoMousePropagation);
    if (c.kind == layout::Kind::Image) {
        label->setPixmap(qtfront::picture(c.picture));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(c.text));
    label->setFont(c.font.name ? qtfront::font(c.font) : form.font());
    label->setAutoFillBackground(true);
    QPalette background = label->palette();
    background.setColor(QPalette::Window, palette.color(QPalette::Window));
    label->setPalette(background);
    qtfront::setTextColour(*label, qtfront::colour(c.foreColor, palette));
    return label;
}

} // namespace

AboutWindow& AboutWindow::Load() {
    if (!current)
        current = new AboutWindow;
    return *current;
}

AboutWindow* AboutWindow::loaded() {
    return current;
}

AboutWindow::AboutWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      me_([this]() -> QWidget& { return *this; }, [this]() -> QWidget& { return *this; }, true) {
    static const bool announced = (QAccessible::installFactory(announcedAsDialog), true);
    Q_UNUSED(announced);
    const layout::Form& design = layout::frmabout;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QLatin1String(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(qtfront::icon(design.icon));
    setFixedSize(platform::twips(design.clientWidth), platform::twips(design.clientHeight));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, qtfront::colour(design.backColor, background));
    setPalette(background);
    setFont(qtfront::font(design.font));
    setMouseTracking(true);

    controls_ = qtfront::build(design, [this](const layout::Control& c) { return make(*this, c); });
    lblwebsite = control<LinkLabel>("lblwebsite");
    lblemail = control<LinkLabel>("lblemail");
    website_.emplace(*lblwebsite);
    email_.emplace(*lblemail);
    handlers.emplace(frmaboutControls{me_, *website_, *email_});

    frmabout& f = *handlers;
    connect(lblwebsite, &LinkLabel::moved, this, [&f] { f.lblwebsite_MouseMove(); });
    connect(lblemail, &LinkLabel::moved, this, [&f] { f.lblemail_MouseMove(); });
    // A link that Tab reaches shows the highlight the pointer gives it. The window opens with
    // the focus on itself, so that no link is highlighted or followed by a stray Enter until
    // Tab reaches it.
    connect(lblwebsite, &LinkLabel::focusChanged, this, [&f] { f.lblwebsite_FocusChanged(); });
    connect(lblemail, &LinkLabel::focusChanged, this, [&f] { f.lblemail_FocusChanged(); });
    setFocus();
    qtfront::onEvent(lblwebsite, &LinkLabel::clicked, this, [&f] { f.lblwebsite_Click(); });
    qtfront::onEvent(lblemail, &LinkLabel::clicked, this, [&f] { f.lblemail_Click(); });

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), size());
        placed.moveCenter(screen->availableGeometry().center());
        setGeometry(placed);
    }
}

AboutWindow::~AboutWindow() {
    if (current == this)
        current = nullptr;
}

void AboutWindow::mouseMoveEvent(QMouseEvent*) {
    handlers->Form_MouseMove();
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    // Unloaded from now on; the window itself goes once its handlers have returned.
    if (current == this)
        current = nullptr;
    QWidget::closeEvent(event);
}
