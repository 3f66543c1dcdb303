#include "Controls.h"

#include "Twips.h"

#include <QApplication>
#include <QWidget>

namespace rinvo {

qreal setUpWindow(
    QWidget* window, const QString& name, const QString& caption, int widthTwips, int heightTwips)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    QFont defaultFont = QApplication::font();
    defaultFont.setPointSizeF(9);
    window->setFont(defaultFont);
    const qreal dpi = window->logicalDpiX();
    window->resize(twipsToPixels(widthTwips, dpi), twipsToPixels(heightTwips, dpi));
    // NOTE: the controls keep their places; a larger window (maximized) leaves room at the
    // right and bottom, and the window never becomes smaller than its layout, so nothing is
    // clipped.
    window->setMinimumSize(window->size());
    return dpi;
}

void setUpControl(QWidget* control, const QString& name, TwipsRect where, qreal dpi,
    const QString& accessibleName, const QString& toolTip)
{
    control->setObjectName(name);
    control->setGeometry(twipsToPixels(where.left, where.top, where.width, where.height, dpi));
    control->setAccessibleName(accessibleName);
    if (!toolTip.isEmpty()) {
        control->setToolTip(toolTip);
        control->setAccessibleDescription(toolTip);
    }
}

void setColours(QWidget* control, const QColor& text, const QColor& field)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    if (field.isValid())
        palette.setColor(QPalette::Base, field);
    control->setPalette(palette);
}

} // namespace rinvo
