#pragma once

#include "app/InputBoxService.h"

#include <deque>
#include <string>
#include <vector>

namespace rinvo::testing {

/// An input box for tests: answers from a script (empty text for a cancel) and records every
/// prompt.
class ScriptedInputBox final : public InputBoxService
{
public:
    void willAnswer(std::string text) { m_answers.push_back(std::move(text)); }

    std::string ask(std::string_view prompt) override
    {
        m_prompts.emplace_back(prompt);
        if (m_answers.empty())
            return {};
        std::string answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }

    const std::vector<std::string>& prompts() const { return m_prompts; }

private:
    std::deque<std::string> m_answers;
    std::vector<std::string> m_prompts;
};

} // namespace rinvo::testing
