#include "app/frmzintra.h"

#include "app/widgets.h"
#include "copy/progress.h"
#include "platform/runtime/process.h"
#include "platform/runtime/text.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/twips.h"
#include "platform/ui/untrapped.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace {
using platform::at;
using platform::twips;

// The controls answer to their own names, for tools that drive the window from outside.
template <typename Object> Object* named(Object* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

// Connects a signal to a handler that runs under the untrapped-error path.
template <typename Sender, typename Signal>
void onEvent(Sender* sender, Signal signal, frmzintra* form, void (frmzintra::*handler)()) {
    QObject::connect(sender, signal, form,
                     [form, handler] { platform::runHandler([&] { (form->*handler)(); }); });
}
} // namespace

frmzintra::frmzintra(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("ZINTRA Free Version"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/stopwatch.png"));
    icon.addFile(QStringLiteral(":/stopwatch-16.png"));
    setWindowIcon(icon);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setFixedSize(twips(6270), twips(2400));
    client->setAutoFillBackground(true);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, background.color(QPalette::HighlightedText));
    client->setPalette(background);
    setCentralWidget(client);

    createControls(client);
    createMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connectHandlers();
}

// In creation order, which is the drawing order.
void frmzintra::createControls(QWidget* client) {
    cmdcopy = named(new QPushButton(QStringLiteral("Start Copying"), client), "cmdcopy");
    cmdcopy->setGeometry(at(2400, 1560, 1815, 375));
    cmdcopy->setToolTip(QStringLiteral("Click to start the file copy."));
    // With the focus, the button takes Enter as it takes Space, as desktop buttons do.
    cmdcopy->setAutoDefault(true);

    txtoutput = named(new QLineEdit(client), "txtoutput");
    txtoutput->setGeometry(at(1560, 1080, 3255, 285));

    txtinput = named(new QLineEdit(client), "txtinput");
    txtinput->setGeometry(at(1560, 480, 3255, 285));

    Image2 = named(new Picture(client), "Image2");
    Image2->setGeometry(at(5040, 930, 480, 480));
    Image2->setPixmap(QPixmap(QStringLiteral(":/folder-destination.png")));
    Image2->setToolTip(
        QStringLiteral("Click to select/change  the location where the file need to be copied."));
    Image2->setAccessibleName(QStringLiteral("Select destination folder"));

    const QColor windowText = palette().color(QPalette::WindowText);
    shpin = named(new Shape(client, windowText, QColor(0, 0, 255)), "shpin");
    shpin->setGeometry(at(840, 2040, 15, 255));
    shpin->setWidth(15);
    shpin->setAccessibleName(QStringLiteral("Copy progress"));
    shpin->setProgressScale(copyplan::FullScale);
    shpin->hide();

    shpout = named(new Shape(client, windowText, std::nullopt), "shpout");
    shpout->setGeometry(at(840, 2040, 4995, 255));
    shpout->setWidth(4995);
    shpout->hide();

    lbldest = named(new QLabel(QStringLiteral("Destination :"), client), "lbldest");
    lbldest->setGeometry(at(480, 1080, 975, 255));
    lbldest->setBuddy(txtoutput);

    lblfilename = named(new QLabel(QStringLiteral("Filename:"), client), "lblfilename");
    lblfilename->setGeometry(at(480, 480, 855, 255));
    lblfilename->setBuddy(txtinput);

    Image1 = named(new Picture(client), "Image1");
    Image1->setGeometry(at(5040, 330, 480, 480));
    Image1->setPixmap(QPixmap(QStringLiteral(":/folder-source.png")));
    Image1->setToolTip(QStringLiteral("Click to select the file to be copied."));
    Image1->setAccessibleName(QStringLiteral("Select file"));

    // The labels take no focus. The pictures come after the button, so that Tab still goes
    // from box to box to button.
    setTabOrder(txtinput, txtoutput);
    setTabOrder(txtoutput, cmdcopy);
    setTabOrder(Image1, Image2);
    txtinput->setFocus();
}

void frmzintra::createMenu() {
    menuBar()->setNativeMenuBar(false);
    mnuhelp = named(menuBar()->addMenu(QStringLiteral("Help")), "mnuhelp");
    mnucont = named(mnuhelp->addAction(QStringLiteral("Context Menu")), "mnucont");
    mnucont->setCheckable(true);
    mnuread = named(mnuhelp->addAction(QStringLiteral("Readme")), "mnuread");
    mnuread->setEnabled(false);
    mnuupdate = named(mnuhelp->addAction(QStringLiteral("Check for update")), "mnuupdate");
    mnuabout = named(mnuhelp->addAction(QStringLiteral("About")), "mnuabout");
}

void frmzintra::connectHandlers() {
    // A checkable action flips its own mark before `triggered`; undo that, so that the
    // handler alone decides the mark.
    connect(mnucont, &QAction::triggered, mnucont,
            [this] { mnucont->setChecked(!mnucont->isChecked()); });

    onEvent(cmdcopy, &QPushButton::clicked, this, &frmzintra::cmdcopy_Click);
    onEvent(Image1, &Picture::clicked, this, &frmzintra::Image1_Click);
    onEvent(Image2, &Picture::clicked, this, &frmzintra::Image2_Click);
    onEvent(mnucont, &QAction::triggered, this, &frmzintra::mnucont_Click);
    onEvent(mnuupdate, &QAction::triggered, this, &frmzintra::mnuupdate_Click);
    onEvent(mnuabout, &QAction::triggered, this, &frmzintra::mnuabout_Click);

    // Once the window is up: the first outcome box then appears as quickly as later ones.
    QTimer::singleShot(0, this, &platform::prepareMessageBoxes);
}

frmzintra::~frmzintra() = default;

void frmzintra::Form_Load() {
    apppath = platform::withSeparator(platform::appPath());
    const QString argumentText = platform::Command();
    const bool resumeNext = !argumentText.isEmpty();
    if (resumeNext)
        takeCommandLine(argumentText);
    probeContextMenu(resumeNext);
}

void frmzintra::setText(QLineEdit* box, const QString& text) {
    box->setText(platform::textBoxText(text));
}
