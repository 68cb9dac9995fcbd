#pragma once

#include <QFont>

class QApplication;
class QString;
class QWidget;

// The windowing runtime: look, event dispatch, repaint, pointer and the application's end.
namespace platform {

// In a Wayland session that offers X as well, runs the program through XWayland (see README).
// Call before the application object exists; a platform the user chose is kept.
void chooseDisplayServer();

// Nothing to initialise on Linux; the call keeps its place in start-up.
void InitCommonControls();

// A fixed light look (Fusion, white backgrounds, our interface font) whatever the theme, kept
// when the theme changes while the program runs.
void applyFixedLook(QApplication& app);

// A font of `points` as it measures at 96 dpi, the resolution the pixel layout is made for, so
// that texts keep to their controls also when Qt's scaling is off on a denser screen.
QFont layoutFont(const QString& family, qreal points);

// Runs the window thread's waiting events once, then returns.
void DoEvents();

// Whole-window mouse pointer: 11 is the hourglass, 0 the default.
inline constexpr int vbDefault = 0;
inline constexpr int vbHourglass = 11;
void setMousePointer(QWidget& window, int pointer);

// A window of fixed size stays at it when the compositor is asked to maximise it.
void holdFixedSizes(QApplication& app);

// The application ends when no window of it is left open and no copy is running.
// Start watching once the first window is shown.
void watchApplicationEnd(QApplication& app);

// Held while a copy runs: the application does not end under it.
class CopyInProgress {
public:
    CopyInProgress();
    ~CopyInProgress();
    CopyInProgress(const CopyInProgress&) = delete;
    CopyInProgress& operator=(const CopyInProgress&) = delete;
};

} // namespace platform
