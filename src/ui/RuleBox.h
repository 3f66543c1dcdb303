#pragma once

#include "rules/CopyRule.h"

#include <QPlainTextEdit>

namespace rinvo {

/// One rule box: a source or destination path, shown wrapped over two lines, read-only to the
/// keyboard; a click or a right click on it is handed to the window, and so are Enter or Space
/// (as a click) and Delete or the menu key (as a right click). A frame shows it has the focus.
class RuleBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    RuleBox(RuleSide side, int index, QWidget* parent);

    RuleSide side() const { return m_side; }
    int index() const { return m_index; }

signals:
    /// A mouse button went down on the box.
    void mousePressed(int index, Qt::MouseButton button);
    /// The box was clicked with the left button.
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    RuleSide m_side;
    int m_index;
};

} // namespace rinvo
