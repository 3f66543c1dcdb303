#pragma once

#include "CopyRun.h"
#include "IndexStore.h"
#include "MessageBoxService.h"
#include "RunProgress.h"
#include "RunWindow.h"
#include "WindowAfter.h"

#include "platform/StopRequest.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace rinvo {

class FileSystem;

/// Runs the copy run of a window on a helper thread, so the window keeps painting: the row
/// checks' questions are asked on the window's thread; the busy pointer shows while a row is
/// copied; the name of the file copied last and the run's progress in the title are handed to
/// the window about every 16 ms and at each row's end; the window's close request asks whether
/// to stop. Each run writes its log into the log folder. Once the rows are done the title is
/// the window's own again, the outcome is told, and the caller's end runs, all on the window's
/// thread.
/// Every call comes from the window's thread.
class RunController final : private CopyRunObserver
{
public:
    /// Runs on the window's thread after the run's end messages.
    using Ended = std::function<void(const CopyRunResult& result)>;

    /// 'logFolder' is where the runs' logs go; empty when the system names no such folder.
    /// 'indexFolder' is where the rules' destination indexes are kept; empty for none.
    RunController(FileSystem& fs, MessageBoxService& messages, RunWindow& window,
        std::string logFolder, std::string indexFolder = {});
    /// Stops a run under way (its open questions answered No) and waits for its thread.
    ~RunController() override;

    /// Starts a run of every filled row and returns at once. 'ended' must not destroy the
    /// controller.
    void start(const CopyRuleTable& rules, CopyOption option, Ended ended);
    /// Tells whether a run has started and its end has not yet run.
    bool running() const { return m_phase != Phase::Idle; }
    /// The window's close request: while rows are copied it asks whether to stop the run, which
    /// then ends as every run does; the window stays open until the run's end closes it.
    WindowAfter closeRequested();

private:
    enum class Phase {
        Idle,
        Copying,
        // The rows are done: the end messages and the caller's end run.
        Ending,
    };

    // Asks a row check's question on the window's thread, for the helper thread.
    class WindowThreadMessages final : public MessageBoxService
    {
    public:
        explicit WindowThreadMessages(RunController& controller)
            : m_controller(controller)
        { }
        MessageAnswer show(std::string_view text, MessageButtons buttons) override;

    private:
        RunController& m_controller;
    };

    // What the rows did and where their log went, for the run's end.
    struct RunEnd
    {
        CopyRunResult result;
        LogPlace log;
    };

    void copyRows(CopyRuleTable rules, CopyOption option);
    void tick();
    void finish(const RunEnd& end);
    // Posts to the window unless the controller is going away.
    void post(std::function<void()> task);
    enum class Title { Unchanged, Shown };
    void showProgress(Title title);

    void rowStarted(std::size_t row) override;
    void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes) override;
    void fileRefused(std::string_view sourceFolder, std::string_view fileName) override;
    void rowFinished(std::size_t row, const CopyReport& report) override;

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    RunWindow& m_window;
    const std::string m_logFolder;
    const IndexStore m_indexes;
    WindowThreadMessages m_askOnWindow { *this };
    StopRequest m_stop;
    Phase m_phase = Phase::Idle;
    Ended m_ended;
    // The stop question is open; an end that comes meanwhile waits for its answer.
    bool m_askingToStop = false;
    std::unique_ptr<RunEnd> m_pendingEnd;
    std::unique_ptr<RunProgress> m_progress;
    std::thread m_copier;
    std::thread m_ticker;
    // Whether the controller still lives, for the tasks it posted to the window.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    // Shared with the helper threads.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_closing = false;
    bool m_tickerDone = false;
    std::string m_latestName;
    bool m_nameChanged = false;
    bool m_showPosted = false;
};

} // namespace rinvo
