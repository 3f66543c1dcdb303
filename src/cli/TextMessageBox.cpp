#include "TextMessageBox.h"

#include "texts/Catalogue.h"

#include <ostream>

namespace rinvo {

TextMessageBox::TextMessageBox(std::ostream& out, MessageAnswer answerToQuestions)
    : m_out(out)
    , m_answer(answerToQuestions)
{ }

MessageAnswer TextMessageBox::show(std::string_view text, MessageButtons buttons)
{
    m_out << text;
    if (buttons == MessageButtons::Ok) {
        m_out << "\n";
        return MessageAnswer::Ok;
    }
    m_out << " → " << (m_answer == MessageAnswer::Yes ? texts::Yes : texts::No) << "\n";
    return m_answer;
}

} // namespace rinvo
