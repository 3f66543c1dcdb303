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
    // Each line carries the prefix, so a script's grep for a row finds all it said.
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        m_out << m_prefix << text.substr(start, end - start);
        if (end == std::string_view::npos)
            break;
        m_out << "\n";
        start = end + 1;
    }
    if (buttons == MessageButtons::Ok) {
        m_out << "\n";
        return MessageAnswer::Ok;
    }
    m_out << " → " << (m_answer == MessageAnswer::Yes ? texts::Yes : texts::No) << "\n";
    return m_answer;
}

} // namespace rinvo
