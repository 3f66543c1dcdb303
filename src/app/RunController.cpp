#include "RunController.h"

#include "RunLog.h"

#include "texts/Catalogue.h"

#include <cassert>
#include <chrono>
#include <ctime>
#include <optional>

namespace rinvo {

namespace {

// How often the window is handed the progress: about a screen's refresh.
constexpr auto ProgressInterval = std::chrono::milliseconds(16);
// The title tells the counts every this many intervals: a few times a second.
constexpr int IntervalsPerTitle = 15;

} // namespace

RunController::RunController(FileSystem& fs, MessageBoxService& messages, RunWindow& window,
    std::string logFolder, std::string indexFolder)
    : m_fs(fs)
    , m_messages(messages)
    , m_window(window)
    , m_logFolder(std::move(logFolder))
    , m_indexes(fs, std::move(indexFolder))
{ }

RunController::~RunController()
{
    // The stop comes first, so a question answered No below starts no other row.
    m_stop.request();
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
        m_tickerDone = true;
    }
    *m_alive = false;
    m_changed.notify_all();
    if (m_copier.joinable())
        m_copier.join();
    if (m_ticker.joinable())
        m_ticker.join();
}

void RunController::start(const CopyRuleTable& rules, CopyOption option, Ended ended)
{
    assert(!running() && "one run at a time");
    m_stop.reset();
    m_phase = Phase::Copying;
    m_ended = std::move(ended);
    m_progress = std::make_unique<RunProgress>(filledRows(rules));
    {
        std::lock_guard lock(m_mutex);
        m_nameChanged = false;
        m_showPosted = false;
        m_tickerDone = false;
    }
    m_window.setTitle(m_progress->caption());
    m_ticker = std::thread([this] { tick(); });
    m_copier = std::thread([this, rules, option] { copyRows(rules, option); });
}

void RunController::copyRows(CopyRuleTable rules, CopyOption option)
{
    // NOTE: Yes to the create question makes the missing folders above the destination too, as
    // the command line does; a missing drive is told before the question is ever asked.
    const auto started = std::chrono::steady_clock::now();
    // NOTE: the log is made here, off the window's thread, as its folder may be slow to reach.
    FsResult<std::unique_ptr<RunLog>> log = RunLog::begin(m_fs, m_logFolder,
        { .version = RINVO_VERSION,
            .startedAt = std::time(nullptr),
            .origin = logs::WindowRun,
            .rules = rules,
            .option = option });
    CopyRunObserver& window = *this;
    std::optional<ObserverPair> logged;
    if (log)
        logged.emplace(window, **log);
    CopyRunObserver& observer = logged ? *logged : window;
    CopyRun run(m_fs, m_askOnWindow, observer, CopyMode::Copy, FolderCreation::WithParents);
    run.useIndexes(m_indexes, false);
    RunEnd end { run.runRows(rules, option, &m_stop), LogPlace { m_logFolder, std::nullopt } };
    if (log) {
        (*log)->end(end.result, std::chrono::steady_clock::now() - started, std::time(nullptr));
        end.log = (*log)->place();
    } else {
        end.log.problem = log.error();
    }
    {
        std::lock_guard lock(m_mutex);
        m_tickerDone = true;
    }
    m_changed.notify_all();
    post([this, end = std::move(end)] { finish(end); });
}

void RunController::tick()
{
    int intervals = 0;
    std::unique_lock lock(m_mutex);
    while (!m_changed.wait_for(lock, ProgressInterval, [this] { return m_tickerDone; })) {
        const bool titleDue = ++intervals % IntervalsPerTitle == 0;
        if (m_showPosted || !(m_nameChanged || titleDue))
            continue;
        // One hand-over at a time: a window slower than the copy gets the latest name only.
        m_showPosted = true;
        lock.unlock();
        post([this, titleDue] {
            {
                std::lock_guard shown(m_mutex);
                m_showPosted = false;
            }
            showProgress(titleDue ? Title::Shown : Title::Unchanged);
        });
        lock.lock();
    }
}

void RunController::showProgress(Title title)
{
    std::optional<std::string> name;
    {
        std::lock_guard lock(m_mutex);
        if (m_nameChanged)
            name = m_latestName;
        m_nameChanged = false;
    }
    if (name)
        m_window.showCurrentFile(*name);
    if (title == Title::Shown && m_phase == Phase::Copying)
        m_window.setTitle(m_progress->caption());
}

void RunController::finish(const RunEnd& end)
{
    if (m_askingToStop) {
        // The stop question is open: the end waits for its answer.
        m_pendingEnd = std::make_unique<RunEnd>(end);
        return;
    }
    m_copier.join();
    m_ticker.join();
    showProgress(Title::Unchanged);
    m_window.setPointer(Pointer::Default);
    m_phase = Phase::Ending;
    // NOTE: the title is the window's own again before the end messages, which tell the outcome.
    m_window.setTitle(texts::MainCaption);
    tellRunOutcome(m_messages, end.result, &end.log);
    const Ended ended = std::move(m_ended);
    if (ended)
        ended(end.result);
    m_phase = Phase::Idle;
}

WindowAfter RunController::closeRequested()
{
    if (m_phase == Phase::Idle)
        return WindowAfter::Closes;
    // Once the rows are done nothing is left to stop: the run's end closes the window itself.
    if (m_phase == Phase::Ending || m_askingToStop)
        return WindowAfter::StaysOpen;
    // NOTE: Yes stops the run after the file being copied; the run's end then tells the outcome,
    // asks to save changed rules and closes the window, as every run does.
    m_askingToStop = true;
    if (m_messages.show(messages::StopQuestion, MessageButtons::YesNoDefaultNo)
        == MessageAnswer::Yes)
        m_stop.request();
    m_askingToStop = false;
    if (m_pendingEnd) {
        // Ended while the question was open: the end runs once this close request is over.
        post([this, end = *m_pendingEnd] { finish(end); });
        m_pendingEnd.reset();
    }
    return WindowAfter::StaysOpen;
}

void RunController::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closing)
            return;
    }
    // The window outlives the controller, which waits for its threads before it goes; a task
    // that runs after the controller has gone does nothing. Tasks and the controller's end both
    // come on the window's thread, so the flag needs no lock.
    m_window.post([alive = m_alive, task = std::move(task)] {
        if (*alive)
            task();
    });
}

void RunController::rowStarted(std::size_t)
{
    m_progress->rowStarted();
    post([this] {
        m_window.setPointer(Pointer::Busy);
        m_window.setTitle(m_progress->caption());
    });
}

void RunController::fileCopied(std::string_view, std::string_view fileName, std::uint64_t bytes)
{
    m_progress->fileCopied(bytes);
    std::lock_guard lock(m_mutex);
    m_latestName.assign(fileName);
    m_nameChanged = true;
}

void RunController::fileRefused(std::string_view folder, std::string_view fileName)
{
    // A refused file is shown, and counted, as one whose copy was tried.
    fileCopied(folder, fileName, 0);
}

void RunController::rowFinished(std::size_t, const CopyReport&)
{
    // The row's last copied name stands in the box when the row ends, before any message.
    post([this] {
        showProgress(Title::Shown);
        m_window.setPointer(Pointer::Default);
    });
}

MessageAnswer RunController::WindowThreadMessages::show(
    std::string_view text, MessageButtons buttons)
{
    RunController& run = m_controller;
    auto answer = std::make_shared<std::optional<MessageAnswer>>();
    run.post([&run, answer, text = std::string(text), buttons] {
        const MessageAnswer chosen = run.m_messages.show(text, buttons);
        {
            std::lock_guard lock(run.m_mutex);
            *answer = chosen;
        }
        run.m_changed.notify_all();
    });
    std::unique_lock lock(run.m_mutex);
    run.m_changed.wait(lock, [&] { return answer->has_value() || run.m_closing; });
    // A controller going away answers No: no row is started or created meanwhile.
    if (answer->has_value())
        return **answer;
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

} // namespace rinvo
