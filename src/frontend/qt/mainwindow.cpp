#include "frontend/qt/mainwindow.h"

#include "app/layout.h"
#include "copy/progress.h"
#include "frontend/qt/aboutwindow.h"
#include "frontend/qt/build.h"
#include "platform/ui/qtwindow.h"
#include "runtime/twips.h"

#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

MainWindow::MainWindow()
    : me_([this]() -> QWidget& { return *this; }, [this]() -> QWidget& { return *centralWidget(); },
          false),
      about_([]() -> QWidget& { return AboutWindow::Load(); },
             []() -> QWidget& { return AboutWindow::Load(); }, true) {
    const layout::Form& design = layout::frmzintra;
    setObjectName(QLatin1String(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(qtfront::icon(design.icon));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setFixedSize(platform::twips(design.clientWidth), platform::twips(design.clientHeight));
    client->setAutoFillBackground(true);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, qtfront::colour(design.backColor, background));
    client->setPalette(background);
    setCentralWidget(client);

    createControls(client);
    createMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    input_.emplace(*txtinput);
    output_.emplace(*txtoutput);
    in_.emplace(*shpin);
    out_.emplace(*shpout);
    context_.emplace(*mnucont);
    handlers.emplace(frmzintraControls{me_, *input_, *output_, *in_, *out_, *context_, about_});
    connectHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls(QWidget* client) {
    const qtfront::Controls controls =
        qtfront::build(layout::frmzintra, [&](const layout::Control& c) -> QWidget* {
            const QString text = QString::fromUtf8(c.text);
            switch (c.kind) {
            case layout::Kind::CommandButton:
                return new QPushButton(text, client);
            case layout::Kind::TextBox:
                return new QLineEdit(client);
            case layout::Kind::Image: {
                auto* picture = new Picture(client);
                picture->setPixmap(qtfront::picture(c.picture));
                return picture;
            }
            case layout::Kind::Shape: {
                auto* shape =
                    new Shape(client, qtfront::colour(c.foreColor, palette()),
                              c.fillColor == layout::NoColour
                                  ? std::nullopt
                                  : std::optional(qtfront::colour(c.fillColor, palette())));
                shape->setWidth(float(c.width));
                return shape;
            }
            case layout::Kind::Label:
            case layout::Kind::Line:
                break;
            }
            return new QLabel(text, client);
        });
    using qtfront::find;
    cmdcopy = find<QPushButton>(controls, "cmdcopy");
    txtoutput = find<QLineEdit>(controls, "txtoutput");
    txtinput = find<QLineEdit>(controls, "txtinput");
    Image2 = find<Picture>(controls, "Image2");
    shpin = find<Shape>(controls, "shpin");
    shpout = find<Shape>(controls, "shpout");
    lbldest = find<QLabel>(controls, "lbldest");
    lblfilename = find<QLabel>(controls, "lblfilename");
    Image1 = find<Picture>(controls, "Image1");

    // With the focus, the button takes Enter as it takes Space, as desktop buttons do.
    cmdcopy->setAutoDefault(true);
    shpin->setProgressScale(copyplan::FullScale);
    lbldest->setBuddy(txtoutput);
    lblfilename->setBuddy(txtinput);
    // The labels take no focus. The pictures come after the button, so that Tab still goes
    // from box to box to button.
    setTabOrder(txtinput, txtoutput);
    setTabOrder(txtoutput, cmdcopy);
    setTabOrder(Image1, Image2);
    txtinput->setFocus();
}

void MainWindow::createMenu() {
    const layout::Form& design = layout::frmzintra;
    menuBar()->setNativeMenuBar(false);
    mnuhelp = menuBar()->addMenu(QString::fromUtf8(design.menuCaption));
    mnuhelp->setObjectName(QLatin1String(design.menuName));
    std::map<std::string, QAction*> items;
    for (const layout::MenuItem& item : design.menu) {
        QAction* action = mnuhelp->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setCheckable(item.checkable);
        action->setEnabled(item.enabled);
        items[item.name] = action;
    }
    mnucont = items.at("mnucont");
    mnuread = items.at("mnuread");
    mnuupdate = items.at("mnuupdate");
    mnuabout = items.at("mnuabout");
}

void MainWindow::connectHandlers() {
    // A checkable action flips its own mark before `triggered`; undo that, so that the
    // handler alone decides the mark.
    connect(mnucont, &QAction::triggered, mnucont,
            [this] { mnucont->setChecked(!mnucont->isChecked()); });

    frmzintra& f = *handlers;
    qtfront::onEvent(cmdcopy, &QPushButton::clicked, this, [&f] { f.cmdcopy_Click(); });
    qtfront::onEvent(Image1, &Picture::clicked, this, [&f] { f.Image1_Click(); });
    qtfront::onEvent(Image2, &Picture::clicked, this, [&f] { f.Image2_Click(); });
    qtfront::onEvent(mnucont, &QAction::triggered, this, [&f] { f.mnucont_Click(); });
    qtfront::onEvent(mnuupdate, &QAction::triggered, this, [&f] { f.mnuupdate_Click(); });
    qtfront::onEvent(mnuabout, &QAction::triggered, this, [&f] { f.mnuabout_Click(); });

    // Once the window is up: the first outcome box then appears as quickly as later ones.
    QTimer::singleShot(0, this, &platform::prepareMessageBoxes);
}
