// Loaded into the real program with QT_QPA_GENERIC_PLUGINS=zintradriver:<step>. At the first
// turn of an event loop after the main window is made (the folder browser's, when a file was
// given), the step "click" chooses Help > Context Menu; then it prints the item's check mark
// and the source box ("mark=1 source=/path") and ends the program. The step "maximise" opens
// the About window and an outcome box, asks for every window to be maximised as the title
// bar's button does, and once each has been maximised and is back, prints each one's size
// before and after ("QMessageBox 260x90 260x90") and the display server, and ends the program.
#include <QAction>
#include <QApplication>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
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
                if (window->objectName() != QLatin1String("frmzintra"))
                    continue;
                if (step == QStringLiteral("maximise"))
                    return maximise(window);
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

    static void maximise(QWidget* form) {
        static bool started = false;
        if (std::exchange(started, true))
            return;
        form->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
        QTimer::singleShot(0, form, [] { // inside the outcome box
            struct Watched {
                QString name;
                QWindow* window;
                QSize before;
                bool grown = false;
            };
            auto* watched = new std::vector<Watched>;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->windowHandle())
                    watched->push_back({window->objectName().isEmpty()
                                            ? QString(window->metaObject()->className())
                                            : window->objectName(),
                                        window->windowHandle(), window->windowHandle()->size()});
            auto* poll = new QTimer(qApp);
            QObject::connect(poll, &QTimer::timeout, poll, [watched] {
                bool back = true;
                for (Watched& w : *watched) {
                    w.grown = w.grown || w.window->size() != w.before;
                    back = back && w.grown && w.window->windowStates() == Qt::WindowNoState &&
                           w.window->size() == w.before;
                }
                if (!back)
                    return;
                std::printf("%s\n", qPrintable(QApplication::platformName()));
                for (const Watched& w : *watched)
                    std::printf("%s %dx%d %dx%d\n", qPrintable(w.name), w.before.width(),
                                w.before.height(), w.window->width(), w.window->height());
                std::fflush(stdout);
                std::_Exit(0);
            });
            poll->start(5);
            for (Watched& w : *watched)
                w.window->setWindowStates(Qt::WindowMaximized);
        });
        form->findChild<QPushButton*>(QStringLiteral("cmdcopy"))->click();
    }
};

#include "zintradriver.moc"
