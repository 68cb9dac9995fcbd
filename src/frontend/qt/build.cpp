#include "frontend/qt/build.h"

#include "platform/ui/qtwindow.h"
#include "runtime/twips.h"

#include <QLabel>
#include <QWidget>

namespace qtfront {

using platform::twips;

QRect at(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

QPoint point(int x, int y) {
    return {twips(x), twips(y)};
}

QColor colour(std::uint32_t value, const QPalette& palette) {
    switch (value) {
    case layout::vbWindowText:
        return palette.color(QPalette::WindowText);
    case layout::vbButtonText:
        return palette.color(QPalette::ButtonText);
    case layout::vbHighlightText:
        return palette.color(QPalette::HighlightedText);
    default:
        return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
    }
}

QFont font(const layout::Font& font) {
    QFont made = platform::layoutFont(QString::fromUtf8(font.name), font.size);
    // The layout was measured for fully hinted text at 96 dpi; hinted, the texts keep the
    // widths it was made for.
    made.setHintingPreference(QFont::PreferFullHinting);
    made.setBold(font.bold);
    made.setUnderline(font.underline);
    return made;
}

QPixmap picture(const char* name) {
    return QPixmap(QStringLiteral(":/%1.png").arg(QLatin1String(name)));
}

QIcon icon(const char* name) {
    QIcon icon;
    icon.addFile(QStringLiteral(":/%1.png").arg(QLatin1String(name)));
    icon.addFile(QStringLiteral(":/%1-16.png").arg(QLatin1String(name)));
    return icon;
}

void setTextColour(QLabel& label, QColor colour) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

Controls build(const layout::Form& form,
               const std::function<QWidget*(const layout::Control&)>& make) {
    Controls controls;
    for (const layout::Control& c : form.controls) {
        QWidget* widget = make(c);
        // The controls answer to their own names, for tools that drive the window from outside.
        widget->setObjectName(QLatin1String(c.name));
        if (c.kind != layout::Kind::Line)
            widget->setGeometry(at(c.left, c.top, c.width, c.height));
        if (*c.toolTip)
            widget->setToolTip(QString::fromUtf8(c.toolTip));
        if (*c.accessibleName)
            widget->setAccessibleName(QString::fromUtf8(c.accessibleName));
        if (!c.visible)
            widget->hide();
        controls[{c.name, c.index}] = widget;
    }
    return controls;
}

} // namespace qtfront
