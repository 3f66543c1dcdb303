#include "ScriptedMessageBox.h"

namespace rinvo::testing {

void ScriptedMessageBox::expect(std::string text, MessageButtons buttons, MessageAnswer answer)
{
    m_script.push_back({ std::move(text), buttons, answer });
}

MessageAnswer ScriptedMessageBox::show(std::string_view text, MessageButtons buttons)
{
    m_shown.push_back({ std::string(text), buttons });
    if (whileShown)
        whileShown(text);
    if (m_script.empty()) {
        m_problems.push_back("unexpected message: " + std::string(text));
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    Expected next = std::move(m_script.front());
    m_script.pop_front();
    if (next.text != text)
        m_problems.push_back(
            "expected \"" + next.text + "\" but was shown \"" + std::string(text) + "\"");
    if (next.buttons != buttons)
        m_problems.push_back("wrong buttons for \"" + std::string(text) + "\"");
    return next.answer;
}

std::string ScriptedMessageBox::surprises() const
{
    std::string text;
    for (const std::string& problem : m_problems)
        text += problem + "\n";
    if (!m_script.empty())
        text += std::to_string(m_script.size()) + " scripted answers unused\n";
    return text;
}

} // namespace rinvo::testing
