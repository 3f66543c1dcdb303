#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace rinvo {

/// Where a control stands, in twips from the client area's top left.
struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

/// Names the window, gives it its caption, the default user-interface font at 9 points and its
/// client size in twips; returns the logical DPI the window's layout converts with.
qreal setUpWindow(
    QWidget* window, const QString& name, const QString& caption, int widthTwips, int heightTwips);

/// Names the control (its object name), places it, and gives it the accessible name and the
/// tooltip, which also serves as its accessible description.
void setUpControl(QWidget* control, const QString& name, TwipsRect where, qreal dpi,
    const QString& accessibleName, const QString& toolTip = {});

/// Sets the text colour and, when valid, the field colour of a control.
void setColours(QWidget* control, const QColor& text, const QColor& field = {});

} // namespace rinvo
