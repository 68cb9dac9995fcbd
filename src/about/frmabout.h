#pragma once

#include <QWidget>
#include <map>

class LinkLabel;
class Line;
class QLabel;

// The About window: product, contact block with the two links, credits. The program keeps at
// most one; closing it unloads it, and the next Load makes a fresh one.
class frmabout : public QWidget {
    Q_OBJECT
public:
    // The loaded About window, loaded now if it was not. It has no owner.
    static frmabout& Load();
    // The loaded About window, or nullptr.
    static frmabout* loaded();

    // Where the two links lead: fixed addresses, not the texts the labels show.
    static const QString websiteTarget;
    static const QString emailTarget;

    // Controls, in creation (drawing) order; arrays by their indices.
    QLabel* Label3;
    std::map<int, QLabel*> lbltitle; // 0, 2, 3, 4, 5, 8
    QLabel* Label2;
    QLabel* Label1;
    std::map<int, QLabel*> imgauto; // 0, 1
    QLabel* Image1;
    LinkLabel* lblwebsite;
    std::map<int, Line*> Line1; // 1 to 5
    LinkLabel* lblemail;

    // The pointer over the background (or a line): both links black.
    void Form_MouseMove();
    void lblwebsite_MouseMove();
    void lblemail_MouseMove();
    void lblwebsite_Click();
    void lblemail_Click();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmabout();
    ~frmabout() override;
};
