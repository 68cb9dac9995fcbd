#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class Picture;
class Shape;

// The main window. Its handlers are declared here once and defined in the folder of the
// subsystem each belongs to: src/copy, src/dialogs, src/shellverb, src/update, src/app.
class frmzintra : public QMainWindow {
    Q_OBJECT
public:
    explicit frmzintra(QWidget* parent = nullptr);
    ~frmzintra() override;

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

    // The folder of the program file, ending in "/".
    QString apppath;
    // The destination folder last chosen in the folder browser.
    QString destfolder;

    // Loading: runs once, before the window is first shown.
    void Form_Load();

    // Start-up steps of Form_Load.
    void takeCommandLine(const QString& argumentText);
    void probeContextMenu(bool resumeNextInForce);

    // Copy.
    bool splitfiles();
    void cmdcopy_Click();

    // Source and destination selection.
    void Image1_Click();
    void Image2_Click();
    void browsefolder();
    void selectdest();

    // Help menu.
    void mnucont_Click();
    void mnuupdate_Click();
    void mnuabout_Click();

    // Text of a box as the program reads it: up to its first NUL.
    static void setText(QLineEdit* box, const QString& text);

private:
    void createControls(QWidget* client);
    void createMenu();
    void connectHandlers();
};
