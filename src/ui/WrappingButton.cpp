#include "WrappingButton.h"

#include "QtText.h"
#include "forms/CaptionLines.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace rinvo {

WrappingButton::WrappingButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{ }

int WrappingButton::captionWidth() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
}

QStringList WrappingButton::captionLines() const
{
    const QFontMetrics metrics = fontMetrics();
    QStringList lines;
    for (const std::string& line : forms::captionLines(
             toUtf8(text()),
             [&](std::string_view piece) { return metrics.horizontalAdvance(toQString(piece)); },
             captionWidth()))
        lines.append(toQString(line));
    return lines;
}

void WrappingButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(area, Qt::AlignCenter, palette(), isEnabled(),
        captionLines().join(QLatin1Char('\n')), QPalette::ButtonText);
}

} // namespace rinvo
