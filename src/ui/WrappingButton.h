#pragma once

#include <QPushButton>

namespace rinvo {

/// A push button whose caption wraps at its blanks when it is wider than the button, keeping
/// the caption itself (its text) unchanged.
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    WrappingButton(const QString& caption, QWidget* parent);

    /// The lines the caption is drawn with at the button's present width and font.
    QStringList captionLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int captionWidth() const;
};

} // namespace rinvo
