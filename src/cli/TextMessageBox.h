#pragma once

#include "app/MessageBoxService.h"

#include <iosfwd>

namespace rinvo {

/// The message box of unattended runs: every message is printed as a line, questions with the
/// answer given in advance.
class TextMessageBox final : public MessageBoxService
{
public:
    TextMessageBox(std::ostream& out, MessageAnswer answerToQuestions);

    MessageAnswer show(std::string_view text, MessageButtons buttons) override;

private:
    std::ostream& m_out;
    MessageAnswer m_answer;
};

} // namespace rinvo
