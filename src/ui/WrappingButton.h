#pragma once

#include <QPushButton>

#include <functional>

namespace rinvo {

/// Splits a caption at its blanks into lines no wider than 'width', as far as the words allow;
/// a caption that fits stays one line.
QString wrapAtBlanks(
    const QString& caption, const std::function<int(const QString&)>& measure, int width);

/// A push button whose caption wraps at its blanks when it is wider than the button, keeping
/// the caption itself (its text) unchanged.
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    WrappingButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace rinvo
