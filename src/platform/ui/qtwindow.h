#pragma once

#include "platform/ui/hwnd.h"

#include <QFont>

class QApplication;
class QString;
class QWidget;

// The window services as Qt gives them, for the Qt front end.
namespace platform {

inline HWND hwnd(QWidget* window) {
    return reinterpret_cast<HWND>(window);
}

inline QWidget* widget(HWND window) {
    return reinterpret_cast<QWidget*>(window);
}

// In a Wayland session that offers X as well, runs the program through XWayland (see README).
// Call before the application object exists; a platform the user chose is kept.
void chooseDisplayServer();

// A fixed light look (Fusion, white backgrounds, our interface font) whatever the theme, kept
// when the theme changes while the program runs.
void applyFixedLook(QApplication& app);

// A font of `points` as it measures at 96 dpi, the resolution the pixel layout is made for, so
// that texts keep to their controls also when Qt's scaling is off on a denser screen.
QFont layoutFont(const QString& family, qreal points);

// The whole-window hourglass (vbHourglass) or the default pointer.
void setMousePointer(QWidget& window, int pointer);

// A window of fixed size stays at it when the compositor is asked to maximise it.
void holdFixedSizes(QApplication& app);

// The application ends when no window of it is left open and no copy is running.
// Start watching once the first window is shown.
void watchApplicationEnd(QApplication& app);

// Builds and discards one real message box, so that what the first one loads (style, fonts,
// buttons) is ready before a box is needed. Nothing shows.
void prepareMessageBoxes();

} // namespace platform
