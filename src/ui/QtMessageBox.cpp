#include "QtMessageBox.h"

#include "texts/Catalogue.h"

#include "QtText.h"

#include <QMessageBox>
#include <QPushButton>

namespace rinvo {

QtMessageBox::QtMessageBox(QWidget* owner)
    : m_owner(owner)
{ }

std::unique_ptr<QMessageBox> QtMessageBox::build(
    std::string_view text, MessageButtons buttons) const
{
    auto box = std::make_unique<QMessageBox>(m_owner);
    box->setWindowTitle(toQString(texts::MessageTitle));
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setText(toQString(text));
    // Captions of our own: the standard buttons would be labelled in the toolkit's language.
    if (buttons == MessageButtons::Ok) {
        QPushButton* ok = box->addButton(toQString(texts::OkCommand), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
        return box;
    }
    QPushButton* yes = box->addButton(toQString(texts::Yes), QMessageBox::YesRole);
    QPushButton* no = box->addButton(toQString(texts::No), QMessageBox::NoRole);
    box->setDefaultButton(buttons == MessageButtons::YesNoDefaultYes ? yes : no);
    box->setEscapeButton(no);
    return box;
}

MessageAnswer QtMessageBox::answerOf(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return MessageAnswer::No;
    switch (box.buttonRole(const_cast<QAbstractButton*>(clicked))) {
    case QMessageBox::YesRole:
        return MessageAnswer::Yes;
    case QMessageBox::AcceptRole:
        return MessageAnswer::Ok;
    default:
        return MessageAnswer::No;
    }
}

MessageAnswer QtMessageBox::show(std::string_view text, MessageButtons buttons)
{
    std::unique_ptr<QMessageBox> box = build(text, buttons);
    box->exec();
    // A box closed without a click answers as its escape button: OK, or No.
    if (!box->clickedButton())
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    return answerOf(*box);
}

} // namespace rinvo
