#include "HelpForm.h"

#include "FormBuilder.h"

#include <QPushButton>

namespace rinvo {

HelpForm::HelpForm(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const forms::FormLayout& form = forms::helpForm();
    buildControls(this, form, setUpForm(this, form));
    auto* ok = findChild<QPushButton*>(QStringLiteral("OkBtn"));
    connect(ok, &QPushButton::clicked, this, &HelpForm::OkBtn_Click);
    ok->setFocus();
}

void HelpForm::OkBtn_Click()
{
    close();
}

} // namespace rinvo
