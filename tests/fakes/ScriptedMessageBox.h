#pragma once

#include "app/MessageBoxService.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace rinvo::testing {

/// A message box for tests: answers from a script of expected messages, records every message
/// shown, and notes each surprise (an unexpected text or button set, a message beyond the
/// script) in problems(); unused answers show in unusedAnswers().
class ScriptedMessageBox final : public MessageBoxService
{
public:
    struct Shown
    {
        std::string text;
        MessageButtons buttons;
    };

    /// Expects the next message to be 'text' with 'buttons', and answers it with 'answer'.
    void expect(std::string text, MessageButtons buttons, MessageAnswer answer);

    MessageAnswer show(std::string_view text, MessageButtons buttons) override;

    /// Runs as each message is shown, before it is answered, as a user acting meanwhile.
    std::function<void(std::string_view text)> whileShown;

    const std::vector<Shown>& shown() const { return m_shown; }
    const std::vector<std::string>& problems() const { return m_problems; }
    std::size_t unusedAnswers() const { return m_script.size(); }
    /// Returns every problem and the count of unused answers, one a line; empty when the
    /// script ran exactly as written.
    std::string surprises() const;

private:
    struct Expected
    {
        std::string text;
        MessageButtons buttons;
        MessageAnswer answer;
    };

    std::deque<Expected> m_script;
    std::vector<Shown> m_shown;
    std::vector<std::string> m_problems;
};

} // namespace rinvo::testing
