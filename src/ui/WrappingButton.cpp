#include "WrappingButton.h"

#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace rinvo {

QString wrapAtBlanks(
    const QString& caption, const std::function<int(const QString&)>& measure, int width)
{
    if (measure(caption) <= width)
        return caption;
    // Words keep the blanks that stood before them, so a line shows them as written.
    static const QRegularExpression Word(QStringLiteral("( *)([^ ]+)"));
    QStringList lines;
    for (auto match = Word.globalMatch(caption); match.hasNext();) {
        const QRegularExpressionMatch word = match.next();
        if (!lines.isEmpty() && measure(lines.back() + word.captured(0)) <= width)
            lines.back() += word.captured(0);
        else
            lines.append(word.captured(2));
    }
    return lines.join(QLatin1Char('\n'));
}

WrappingButton::WrappingButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{ }

void WrappingButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QFontMetrics metrics = fontMetrics();
    const QString lines = wrapAtBlanks(
        caption, [&](const QString& text) { return metrics.horizontalAdvance(text); },
        area.width());
    painter.drawItemText(
        area, Qt::AlignCenter, palette(), isEnabled(), lines, QPalette::ButtonText);
}

} // namespace rinvo
