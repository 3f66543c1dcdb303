#pragma once

#include <QWidget>

namespace rinvo {

/// The help window: the usage text and a button that closes it. Modeless and without an
/// owner, it is released when closed.
class HelpForm : public QWidget
{
    Q_OBJECT
public:
    explicit HelpForm(QWidget* parent = nullptr);

private slots:
    void OkBtn_Click();
};

} // namespace rinvo
