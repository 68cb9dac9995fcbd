// Loaded into the real program with QT_QPA_GENERIC_PLUGINS=zintradriver:<step>. It cancels a
// folder browser that opens at start. Once the main window shows, it prints the check mark of
// Help > Context Menu ("mark=0" or "mark=1"), with the step "click" chooses the item and prints
// the mark again, prints the source box ("source=...") and the program's arguments
// ("argument=..."), and ends the program.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {
QAction* contextMenuItem(QWidget* form) {
    if (auto* item = form->findChild<QAction*>(QStringLiteral("mnucont")))
        return item;
    std::_Exit(3);
}

void printMark(const QAction* item) {
    std::printf("mark=%d\n", item->isChecked());
}

void act(const QString& step) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() &&
            widget->windowTitle() == QStringLiteral("Select the destination folder."))
            widget->close();
        if (!widget->inherits("frmzintra") || !widget->isVisible())
            continue;
        QAction* item = contextMenuItem(widget);
        printMark(item);
        if (step == QStringLiteral("click")) {
            item->trigger();
            printMark(item);
        }
        if (auto* source = widget->findChild<QLineEdit*>(QStringLiteral("txtinput")))
            std::printf("source=%s\n", qPrintable(source->text()));
        QFile cmdline(QStringLiteral("/proc/self/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> argv = cmdline.readAll().split('\0');
            for (qsizetype i = 1; i + 1 < argv.size(); ++i)
                std::printf("argument=%s\n", argv[i].constData());
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
    // Not created yet: try again on the next turn of the event loop.
    QTimer::singleShot(0, [step] { act(step); });
}
} // namespace

class ZintraDriver : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "zintradriver.json")
public:
    QObject* create(const QString&, const QString& step) override {
        QTimer::singleShot(0, [step] { act(step); });
        return new QObject(this);
    }
};

#include "zintradriver.moc"
