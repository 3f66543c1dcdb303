#include "RuleBox.h"

#include <QMouseEvent>

namespace rinvo {

RuleBox::RuleBox(RuleSide side, int index, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_side(side)
    , m_index(index)
{
    setReadOnly(true);
    // Paths have few blanks: they wrap wherever the box's edge falls.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    viewport()->setCursor(Qt::PointingHandCursor);
    // A right click belongs to the clear question, not to an edit menu.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void RuleBox::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(m_index, event->button());
    QPlainTextEdit::mousePressEvent(event);
}

void RuleBox::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
}

} // namespace rinvo
