#pragma once

#include "app/MessageBoxService.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace rinvo {

/// The message box of the desktop: Qt's modal box with Japanese button captions.
class QtMessageBox final : public MessageBoxService
{
public:
    /// 'owner' is the window the box is modal to; null for none.
    explicit QtMessageBox(QWidget* owner = nullptr);
    void setOwner(QWidget* owner) { m_owner = owner; }

    MessageAnswer show(std::string_view text, MessageButtons buttons) override;

    /// Returns the box, ready to be shown, for the text and button set.
    std::unique_ptr<QMessageBox> build(std::string_view text, MessageButtons buttons) const;
    /// Returns the answer the clicked button of a built box stands for.
    static MessageAnswer answerOf(const QMessageBox& box);

private:
    QWidget* m_owner;
};

} // namespace rinvo
