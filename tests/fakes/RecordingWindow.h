#pragma once

#include "app/MainWindowFlow.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace rinvo::testing {

/// A main window for tests: holds its boxes' texts, records what a run shows, and runs the
/// tasks posted to it when the test pumps them on its own thread, as a window's event loop would.
class RecordingWindow final : public MainWindowView
{
public:
    CopyRuleTable shownRules() override { return rules; }
    void showRules(const CopyRuleTable& shown) override { rules = shown; }
    void showHelp() override { }
    void closeWindow() override { closed = true; }

    void post(std::function<void()> task) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_posted.notify_all();
    }
    void setPointer(Pointer pointer) override { pointers.push_back(pointer); }
    void setTitle(std::string_view shown) override { title = shown; }
    void showCurrentFile(std::string_view name) override { currentFile = name; }

    /// Runs posted tasks until 'done' holds; false when it still does not after a minute.
    bool pumpUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!done()) {
            if (!runNext(deadline))
                return false;
        }
        return true;
    }

    /// Runs posted tasks as they come for a while, as a modal box's loop does.
    void pumpFor(std::chrono::milliseconds time)
    {
        const auto deadline = std::chrono::steady_clock::now() + time;
        while (runNext(deadline)) { }
    }

    /// Waits up to a minute until some task is posted, without running it.
    bool waitForTask()
    {
        std::unique_lock lock(m_mutex);
        return m_posted.wait_for(
            lock, std::chrono::minutes(1), [this] { return !m_tasks.empty(); });
    }

    CopyRuleTable rules;
    bool closed = false;
    std::vector<Pointer> pointers;
    std::string title;
    std::string currentFile;

private:
    bool runNext(std::chrono::steady_clock::time_point deadline)
    {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            if (!m_posted.wait_until(lock, deadline, [this] { return !m_tasks.empty(); }))
                return false;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

} // namespace rinvo::testing
