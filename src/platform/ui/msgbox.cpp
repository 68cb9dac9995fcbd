#include "platform/ui/msgbox.h"

#include "platform/process/process.h"
#include "platform/textbridge.h"
#include "platform/ui/qtwindow.h"
#include "runtime/seam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {
// No icon anywhere: not beside the text, and not the theme's glyphs on the buttons either.
void setButtons(QMessageBox& box, QMessageBox::StandardButtons buttons) {
    box.setStandardButtons(buttons);
    for (QAbstractButton* button : box.buttons())
        button->setIcon(QIcon());
}

class QtMessageBoxes final : public MessageBoxHost {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override {
        QWidget* owner = QApplication::activeWindow();
        QMessageBox box(QMessageBox::NoIcon, fromBytes(title), fromBytes(prompt),
                        QMessageBox::NoButton, owner && owner->isVisible() ? owner : nullptr);
        // Server data is shown here too: never interpret it as markup.
        box.setTextFormat(Qt::PlainText);
        if (buttons == vbYesNo) {
            setButtons(box, QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
        } else {
            setButtons(box, QMessageBox::Ok);
        }
        const int answer = box.exec();
        if (answer == QMessageBox::Yes)
            return vbYes;
        if (answer == QMessageBox::No)
            return vbNo;
        return vbOK;
    }
};

QtMessageBoxes realHost;
} // namespace

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    return use<MessageBoxHost>(realHost).show(prompt, buttons, title.empty() ? appTitle() : title);
}

void prepareMessageBoxes() {
    QMessageBox box;
    setButtons(box, QMessageBox::Ok);
    box.ensurePolished();
}

} // namespace platform
