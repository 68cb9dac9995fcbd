#include "app/frmzintra.h"

#include "app/widgets.h"
#include "platform/msgbox.h"
#include "platform/runtime.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace {
QRect at(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
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

    cmdcopy = new QPushButton(QStringLiteral("Start Copying"), client);
    cmdcopy->setGeometry(at(2400, 1560, 1815, 375));
    cmdcopy->setToolTip(QStringLiteral("Click to start the file copy."));
    // With the focus, the button takes Enter as it takes Space, as desktop buttons do.
    cmdcopy->setAutoDefault(true);

    txtoutput = new QLineEdit(client);
    txtoutput->setGeometry(at(1560, 1080, 3255, 285));

    txtinput = new QLineEdit(client);
    txtinput->setGeometry(at(1560, 480, 3255, 285));

    Image2 = new Picture(client);
    Image2->setGeometry(at(5040, 930, 480, 480));
    Image2->setPixmap(QPixmap(QStringLiteral(":/folder-destination.png")));
    Image2->setToolTip(
        QStringLiteral("Click to select/change  the location where the file need to be copied."));

    const QColor windowText = palette().color(QPalette::WindowText);
    shpin = new Shape(client, windowText, QColor(0, 0, 255));
    shpin->setGeometry(at(840, 2040, 15, 255));
    shpin->setWidth(15);
    shpin->hide();

    shpout = new Shape(client, windowText, std::nullopt);
    shpout->setGeometry(at(840, 2040, 4995, 255));
    shpout->setWidth(4995);
    shpout->hide();

    lbldest = new QLabel(QStringLiteral("Destination :"), client);
    lbldest->setGeometry(at(480, 1080, 975, 255));
    lbldest->setBuddy(txtoutput);

    lblfilename = new QLabel(QStringLiteral("Filename:"), client);
    lblfilename->setGeometry(at(480, 480, 855, 255));
    lblfilename->setBuddy(txtinput);

    Image1 = new Picture(client);
    Image1->setGeometry(at(5040, 330, 480, 480));
    Image1->setPixmap(QPixmap(QStringLiteral(":/folder-source.png")));
    Image1->setToolTip(QStringLiteral("Click to select the file to be copied."));

    for (QWidget* w : {static_cast<QWidget*>(lbldest), static_cast<QWidget*>(lblfilename),
                       static_cast<QWidget*>(Image1), static_cast<QWidget*>(Image2)})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(txtinput, txtoutput);
    setTabOrder(txtoutput, cmdcopy);
    txtinput->setFocus();

    menuBar()->setNativeMenuBar(false);
    mnuhelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnucont = mnuhelp->addAction(QStringLiteral("Context Menu"));
    mnucont->setCheckable(true);
    mnuread = mnuhelp->addAction(QStringLiteral("Readme"));
    mnuread->setEnabled(false);
    mnuupdate = mnuhelp->addAction(QStringLiteral("Check for update"));
    mnuabout = mnuhelp->addAction(QStringLiteral("About"));
    // A checkable action flips its own mark before `triggered`; undo that, so that the
    // handler alone decides the mark.
    connect(mnucont, &QAction::triggered, mnucont,
            [this] { mnucont->setChecked(!mnucont->isChecked()); });

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The controls answer to their own names, for tools that drive the window from outside.
    for (auto [object, name] :
         std::initializer_list<std::pair<QObject*, const char*>>{{cmdcopy, "cmdcopy"},
                                                                 {txtoutput, "txtoutput"},
                                                                 {txtinput, "txtinput"},
                                                                 {Image2, "Image2"},
                                                                 {shpin, "shpin"},
                                                                 {shpout, "shpout"},
                                                                 {lbldest, "lbldest"},
                                                                 {lblfilename, "lblfilename"},
                                                                 {Image1, "Image1"},
                                                                 {mnuhelp, "mnuhelp"},
                                                                 {mnucont, "mnucont"},
                                                                 {mnuread, "mnuread"},
                                                                 {mnuupdate, "mnuupdate"},
                                                                 {mnuabout, "mnuabout"}})
        object->setObjectName(QLatin1String(name));

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
