#pragma once

#include "app/FolderBrowser.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace rinvo::testing {

/// A folder-browse dialog for tests: returns scripted paths (empty text for a cancel) and
/// records the prompt and start path of every call.
class ScriptedFolderBrowser final : public FolderBrowser
{
public:
    struct Call
    {
        std::string prompt;
        std::string startPath;
    };

    void willChoose(std::string path) { m_answers.push_back(std::move(path)); }

    /// Runs while the dialog would be open, as a real one does what it does to the window.
    std::function<void()> whileOpen;

    std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) override
    {
        m_calls.push_back({ std::string(prompt), std::string(startPath) });
        if (whileOpen)
            whileOpen();
        if (m_answers.empty())
            return {};
        std::string answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }

    const std::vector<Call>& calls() const { return m_calls; }

private:
    std::deque<std::string> m_answers;
    std::vector<Call> m_calls;
};

} // namespace rinvo::testing
