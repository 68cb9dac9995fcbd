#include "about/frmabout.h"

#include "about/controls.h"
#include "platform/ui/shell.h"
#include "platform/ui/twips.h"
#include "platform/ui/untrapped.h"
#include "platform/ui/window.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

const QString frmabout::websiteTarget = QStringLiteral("http://freewares.norvane.example/");
const QString frmabout::emailTarget = QStringLiteral("mailto:support@norvane.example");

namespace {
frmabout* current = nullptr;

using platform::at;
using platform::point;
using platform::twips;

// A plain widget shown as a window reaches assistive technology as a filler; the About window
// is a dialog there, named by its caption.
QAccessibleInterface* announcedAsDialog(const QString& className, QObject* object) {
    if (className == QLatin1String("frmabout") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

// A colour written 0x00BBGGRR.
QColor bgr(quint32 value) {
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

const QColor white = bgr(0x00FFFFFF);
const QColor black = bgr(0x00000000);
const QColor red = bgr(0x000000FF);
const QColor blue = bgr(0x00FF0000);

QFont typeface(const QString& family, qreal points, bool bold, bool underline = false) {
    QFont font = platform::layoutFont(family, points);
    // The layout was measured for fully hinted text at 96 dpi; hinted, the texts keep the
    // widths it was made for.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont timesBold(qreal points, bool underline = false) {
    return typeface(QStringLiteral("Times New Roman"), points, true, underline);
}

void setTextColour(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A label as the window draws them: white, text at the top left, no border, no mouse moves
// passed on to the window.
template <typename Label = QLabel>
Label* label(QWidget* form, QRect geometry, const QString& text, QColor colour, const QFont& font) {
    auto* label = new Label(form);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, white);
    label->setPalette(palette);
    setTextColour(label, colour);
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

QLabel* picture(QWidget* form, QRect geometry, const QString& resource) {
    auto* picture = new QLabel(form);
    picture->setGeometry(geometry);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap(resource));
    picture->setAttribute(Qt::WA_NoMousePropagation);
    return picture;
}
} // namespace

frmabout& frmabout::Load() {
    if (!current)
        current = new frmabout;
    return *current;
}

frmabout* frmabout::loaded() {
    return current;
}

frmabout::frmabout()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    static const bool announced = (QAccessible::installFactory(announcedAsDialog), true);
    Q_UNUSED(announced);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Norvane's ZINTRA"));
    QIcon icon(QStringLiteral(":/info.png"));
    icon.addFile(QStringLiteral(":/info-16.png"));
    setWindowIcon(icon);
    setFixedSize(twips(5310), twips(4095));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, white);
    setPalette(background);
    setFont(typeface(QStringLiteral("Arial"), 8.25, false));
    setMouseTracking(true);

    const QColor buttonText = palette().color(QPalette::ButtonText);
    const QColor windowText = palette().color(QPalette::WindowText);

    Label3 = label(this, at(120, 3600, 5175, 255),
                   QStringLiteral("Visit Norvane Softwares website for more freewares & "
                                  "sharewares"),
                   red, font());
    lbltitle[0] =
        label(this, at(840, 1800, 735, 255), QStringLiteral("Email : "), black, timesBold(12));
    Label2 = label(this, at(2280, 840, 1935, 255), QStringLiteral("The fastest file copier."),
                   buttonText, typeface(QStringLiteral("Arial"), 8.25, true));
    Label1 = label(this, at(840, 360, 3375, 495), QStringLiteral("ZINTRA v1.0"), blue,
                   typeface(QStringLiteral("Arial"), 20.25, true));
    imgauto[0] = picture(this, at(240, 360, 480, 480), QStringLiteral(":/stopwatch.png"));
    imgauto[1] = picture(this, at(4440, 360, 480, 480), QStringLiteral(":/stopwatch.png"));
    Image1 = picture(this, at(4200, 2880, 540, 375), QStringLiteral(":/flag.png"));
    lblwebsite =
        label<LinkLabel>(this, at(1680, 2160, 2535, 255), QStringLiteral("http://norvane.example"),
                         black, timesBold(11.25, true));
    lbltitle[8] =
        label(this, at(600, 2160, 975, 255), QStringLiteral("Website : "), black, timesBold(12));
    Line1[5] = new Line(this, point(120, 2640), point(5160, 2640), windowText);
    Line1[4] = new Line(this, point(5160, 3360), point(5160, 1320), windowText);
    Line1[3] = new Line(this, point(120, 3360), point(120, 1320), windowText);
    Line1[2] = new Line(this, point(120, 3360), point(5160, 3360), windowText);
    Line1[1] = new Line(this, point(120, 1320), point(5160, 1320), windowText);
    lblemail =
        label<LinkLabel>(this, at(1680, 1800, 2535, 255), QStringLiteral("info@norvane.example"),
                         black, timesBold(11.25, true));
    lbltitle[5] =
        label(this, at(840, 1440, 3495, 270), QStringLiteral("For any bugs, suggestions, queries"),
              buttonText, timesBold(11.25));
    lbltitle[4] =
        label(this, at(1200, 3840, 3255, 255), QStringLiteral("© 2003-2004 Norvane Softwares"),
              buttonText, timesBold(9.75));
    lbltitle[3] = label(this, at(720, 2760, 3255, 270), QStringLiteral("Programmed by M. Norvane"),
                        red, timesBold(12));
    lbltitle[2] =
        label(this, at(960, 3120, 2655, 270), QStringLiteral("Release Date : 21 October 2004"),
              buttonText, timesBold(9.75));

    connect(lblwebsite, &LinkLabel::moved, this, &frmabout::lblwebsite_MouseMove);
    connect(lblemail, &LinkLabel::moved, this, &frmabout::lblemail_MouseMove);
    // A link that Tab reaches shows the highlight the pointer gives it. The window opens with
    // the focus on itself, so that no link is highlighted or followed by a stray Enter until
    // Tab reaches it.
    connect(lblwebsite, &LinkLabel::focusChanged, this,
            [this](bool in) { setTextColour(lblwebsite, in ? blue : black); });
    connect(lblemail, &LinkLabel::focusChanged, this,
            [this](bool in) { setTextColour(lblemail, in ? blue : black); });
    setFocus();
    connect(lblwebsite, &LinkLabel::clicked, this,
            [this] { platform::runHandler([this] { lblwebsite_Click(); }); });
    connect(lblemail, &LinkLabel::clicked, this,
            [this] { platform::runHandler([this] { lblemail_Click(); }); });

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), size());
        placed.moveCenter(screen->availableGeometry().center());
        setGeometry(placed);
    }
}

frmabout::~frmabout() {
    if (current == this)
        current = nullptr;
}

void frmabout::Form_MouseMove() {
    // A link the keyboard is on keeps its highlight.
    setTextColour(lblwebsite, lblwebsite->hasFocus() ? blue : black);
    setTextColour(lblemail, lblemail->hasFocus() ? blue : black);
}

void frmabout::lblwebsite_MouseMove() {
    setTextColour(lblwebsite, blue);
}

void frmabout::lblemail_MouseMove() {
    setTextColour(lblemail, blue);
}

void frmabout::lblwebsite_Click() {
    platform::ShellExecuteA(this, QStringLiteral("open"), websiteTarget, QString(),
                            platform::SW_SHOWNORMAL);
}

void frmabout::lblemail_Click() {
    platform::ShellExecuteA(this, QStringLiteral("open"), emailTarget, QString(),
                            platform::SW_SHOWNORMAL);
}

void frmabout::mouseMoveEvent(QMouseEvent*) {
    Form_MouseMove();
}

void frmabout::closeEvent(QCloseEvent* event) {
    // Unloaded from now on; the window itself goes once its handlers have returned.
    if (current == this)
        current = nullptr;
    QWidget::closeEvent(event);
}
