#include "Controls.h"

#include "Twips.h"

#include <QLabel>

namespace rinvo {

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

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect where,
    qreal dpi, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    setUpControl(label, name, where, dpi, text);
    label->setFont(font);
    if (colour.isValid())
        setColours(label, colour);
    return label;
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
