#include "ThreadedWalk.h"

#include "Frame.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace rinvo {

namespace {

// What one thread takes from the walk at a time: some of a folder's files, or one subfolder.
struct Task
{
    std::shared_ptr<Frame> frame;
    std::size_t firstFile = 0;
    std::size_t files = 0;
    std::size_t subfolder = 0;
};

// NOTE: the walk keeps these invariants, under its lock:
// - A folder with files still to copy or subfolders still to enter waits on a stack; one with
//   none left is off it, though threads may still be copying its files.
// - A free thread takes its work from the folder most recently offered that has some for it,
//   so the threads go depth first as a one-thread walk does, and the folders held open stay
//   about the tree's depth times the number of threads, however wide or large the tree.
// - The walk ends when nothing waits and no thread is entering a folder that could add some,
//   or at once when a step ends the row or stops it; threads then finish the step under way.
class ThreadedWalk
{
public:
    explicit ThreadedWalk(unsigned threads)
        : m_threads(threads)
    { }

    std::uint64_t run(const std::shared_ptr<Frame>& root, const std::vector<WalkSteps*>& steps);

private:
    void work(WalkSteps& steps);
    // Hands out the next task; called with the lock held and some folder waiting.
    Task takeTask();
    // How many of a folder's files one thread takes at a time: few when they are few, so that
    // every thread gets some, more when they are many, so that handing out costs little.
    std::size_t fileBatch(const Frame& frame) const;
    Flow runTask(WalkSteps& steps, const Task& task, std::unique_ptr<Frame>& child);

    unsigned m_threads;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::shared_ptr<Frame>> m_waiting;
    unsigned m_busy = 0;
    bool m_ending = false;
    bool m_rowEnded = false;
    std::atomic<std::uint64_t> m_notExamined { 0 };
};

std::uint64_t ThreadedWalk::run(
    const std::shared_ptr<Frame>& root, const std::vector<WalkSteps*>& steps)
{
    m_waiting.push_back(root);
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < steps.size(); ++i)
        helpers.emplace_back([this, &thread = *steps[i]] { work(thread); });
    work(*steps.front());
    for (std::thread& helper : helpers)
        helper.join();
    if (m_rowEnded) {
        for (const auto& frame : m_waiting)
            m_notExamined += frame->unexamined();
    }
    // A stopped walk counts nothing as unexamined: the user knows the run was cut short.
    m_waiting.clear();
    return m_notExamined;
}

void ThreadedWalk::work(WalkSteps& steps)
{
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_ending || !m_waiting.empty() || m_busy == 0; });
            if (m_ending || m_waiting.empty()) {
                // Nothing waits and no thread is entering a folder that could add some.
                m_changed.notify_all();
                lock.unlock();
                steps.walkEnded();
                return;
            }
            task = takeTask();
            ++m_busy;
        }
        std::unique_ptr<Frame> child;
        const Flow flow = runTask(steps, task, child);
        {
            std::lock_guard lock(m_mutex);
            --m_busy;
            if (task.files > 0)
                --task.frame->copiers;
            if (flow != Flow::Continue)
                m_ending = true;
            if (flow == Flow::EndRow)
                m_rowEnded = true;
            else if (flow == Flow::Continue && child && child->hasWorkLeft())
                m_waiting.push_back(std::move(child));
        }
        task.frame.reset();
        m_changed.notify_all();
    }
}

Flow ThreadedWalk::runTask(WalkSteps& steps, const Task& task, std::unique_ptr<Frame>& child)
{
    if (task.files > 0)
        return steps.copyFiles(task.frame, task.firstFile, task.files);
    const Flow flow = steps.enterSubfolder(*task.frame, task.subfolder, child);
    if (flow == Flow::EndRow && child)
        m_notExamined += child->unexamined();
    return flow;
}

std::size_t ThreadedWalk::fileBatch(const Frame& frame) const
{
    constexpr std::size_t MostFilesAtOnce = 64;
    const std::size_t left = frame.files.size() - frame.nextFile;
    return std::clamp<std::size_t>(left / (2 * std::size_t { m_threads }), 1, MostFilesAtOnce);
}

Task ThreadedWalk::takeTask()
{
    // NOTE: a folder's files go to one thread while other work waits: creating and renaming in
    // one folder takes the folder's lock, which on a network share is held for a round trip,
    // so threads spread over several folders wait less than threads crowding into one. Only
    // when no folder waits to be entered do more threads join a folder's copying.
    auto chosen = m_waiting.end();
    bool filesChosen = false;
    for (auto place = m_waiting.end(); place != m_waiting.begin();) {
        --place;
        const Frame& frame = **place;
        if (frame.hasFilesLeft() && frame.copiers == 0) {
            chosen = place;
            filesChosen = true;
            break;
        }
        if (frame.hasSubfoldersLeft()) {
            chosen = place;
            filesChosen = false;
            break;
        }
        if (chosen == m_waiting.end()) {
            chosen = place;
            filesChosen = true;
        }
    }
    Frame& frame = **chosen;
    Task task { *chosen };
    if (filesChosen) {
        task.firstFile = frame.nextFile;
        task.files = fileBatch(frame);
        frame.nextFile += task.files;
        frame.examined += task.files;
        ++frame.copiers;
    } else {
        task.subfolder = frame.subfolders[frame.nextSubfolder++];
        ++frame.examined;
    }
    if (!frame.hasWorkLeft())
        m_waiting.erase(chosen);
    return task;
}

} // namespace

std::uint64_t walkBelow(const std::shared_ptr<Frame>& root, const std::vector<WalkSteps*>& threads)
{
    ThreadedWalk walk(static_cast<unsigned>(threads.size()));
    return walk.run(root, threads);
}

} // namespace rinvo
