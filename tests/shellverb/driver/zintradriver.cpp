// Loaded into the real program with QT_QPA_GENERIC_PLUGINS=zintradriver:<step>. At the first
// turn of an event loop after the main window is made (the folder browser's, when a file was
// given), the step "click" chooses Help > Context Menu; then it prints the item's check mark
// and the source box ("mark=1 source=/path") and ends the program.
#include <QAction>
#include <QApplication>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

class ZintraDriver : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "zintradriver.json")
public:
    QObject* create(const QString&, const QString& step) override {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, poll, [step] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!window->inherits("frmzintra"))
                    continue;
                auto* item = window->findChild<QAction*>(QStringLiteral("mnucont"));
                if (step == QStringLiteral("click"))
                    item->trigger();
                const auto* source = window->findChild<QLineEdit*>(QStringLiteral("txtinput"));
                std::printf("mark=%d source=%s\n", item->isChecked(), qPrintable(source->text()));
                std::fflush(stdout);
                std::_Exit(0);
            }
        });
        poll->start(5);
        return poll;
    }
};

#include "zintradriver.moc"
