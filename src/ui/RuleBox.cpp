#include "RuleBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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

void RuleBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked(m_index);
        return;
    case Qt::Key_Delete:
    case Qt::Key_Menu:
        emit mousePressed(m_index, Qt::RightButton);
        return;
    default:
        QPlainTextEdit::keyPressEvent(event);
    }
}

void RuleBox::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    viewport()->update();
}

void RuleBox::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    viewport()->update();
}

void RuleBox::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    if (!hasFocus())
        return;
    // A read-only box shows no caret, so the focus is drawn as a frame in the highlight colour.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
}

} // namespace rinvo
