#pragma once

#include "app/MessageBoxService.h"

#include <iosfwd>
#include <string>

namespace rinvo {

/// The message box of unattended runs: every message is printed, each of its lines after the
/// prefix, questions with the answer given in advance.
class TextMessageBox final : public MessageBoxService
{
public:
    TextMessageBox(std::ostream& out, MessageAnswer answerToQuestions);
    MessageAnswer show(std::string_view text, MessageButtons buttons) override;
    /// Begins every line from now on, such as "rinvo: 行 3: ".
    void setPrefix(std::string prefix) { m_prefix = std::move(prefix); }

private:
    std::ostream& m_out;
    MessageAnswer m_answer;
    std::string m_prefix;
};

} // namespace rinvo
