#include "platform/ui/msgbox.h"

#include "platform/runtime/process.h"
#include "platform/runtime/seam.h"

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
    int show(const QString& prompt, int buttons, const QString& title) override {
        QWidget* owner = QApplication::activeWindow();
        QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton,
                        owner && owner->isVisible() ? owner : nullptr);
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

int MsgBox(const QString& prompt, int buttons, const QString& title) {
    return use<MessageBoxHost>(realHost).show(prompt, buttons,
                                              title.isEmpty() ? appTitle() : title);
}

void prepareMessageBoxes() {
    QMessageBox box;
    setButtons(box, QMessageBox::Ok);
    box.ensurePolished();
}

} // namespace platform
