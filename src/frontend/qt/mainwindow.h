#pragma once

#include "app/frmzintra.h"
#include "frontend/qt/adapters.h"

#include <QMainWindow>

class Picture;
class QMenu;
class QPushButton;

// The main window as Qt draws it, built from its layout; its handlers are frmzintra's.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Controls, in creation (drawing) order.
    QPushButton* cmdcopy;
    QLineEdit* txtoutput;
    QLineEdit* txtinput;
    Picture* Image2;
    Shape* shpin;
    Shape* shpout;
    QLabel* lbldest;
    QLabel* lblfilename;
    Picture* Image1;

    QMenu* mnuhelp;
    QAction* mnucont;
    QAction* mnuread;
    QAction* mnuupdate;
    QAction* mnuabout;

private:
    void createControls(QWidget* client);
    void createMenu();
    void connectHandlers();

    qtfront::Form me_;
    qtfront::Form about_;
    std::optional<qtfront::TextBox> input_, output_;
    std::optional<qtfront::ShapeControl> in_, out_;
    std::optional<qtfront::MenuItem> context_;

public:
    // The handlers, on this window's controls.
    std::optional<frmzintra> handlers;
};
