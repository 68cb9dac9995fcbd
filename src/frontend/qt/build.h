#pragma once

#include "runtime/layout.h"
#include "runtime/untrapped.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <functional>
#include <map>
#include <string>
#include <utility>

class QLabel;
class QWidget;

// How the Qt front end builds a window from its layout.
namespace qtfront {

QRect at(int left, int top, int width, int height); // twips to pixels
QPoint point(int x, int y);

// A layout colour: 0x00BBGGRR, or one of the scheme's, from `palette`.
QColor colour(std::uint32_t value, const QPalette& palette);
QFont font(const layout::Font& font);
QIcon icon(const char* name); // the picture at both sizes the window manager asks for
QPixmap picture(const char* name);
void setTextColour(QLabel& label, QColor colour);

// The window's controls by name and index.
using Controls = std::map<std::pair<std::string, int>, QWidget*>;

// Creates every control of `form`, in order: `make` gives each its widget, which
// then takes the layout's geometry, text, tooltip, visibility and name.
Controls build(const layout::Form& form,
               const std::function<QWidget*(const layout::Control&)>& make);

// Connects a signal to a handler that runs under the untrapped-error path.
template <typename Sender, typename Signal, typename Handler>
void onEvent(Sender* sender, Signal signal, QObject* receiver, Handler handler) {
    QObject::connect(sender, signal, receiver,
                     [handler] { platform::runHandler([&] { handler(); }); });
}

template <typename Widget>
Widget* find(const Controls& controls, const char* name, int index = -1) {
    return static_cast<Widget*>(controls.at({name, index}));
}

} // namespace qtfront
