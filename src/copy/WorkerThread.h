#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace rinvo {

/// One helper thread that runs one task at a time beside the caller, so the walk can read a
/// destination folder while it reads the source folder.
class WorkerThread
{
public:
    WorkerThread();
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    /// Starts the task on the helper thread; the previous task must have been waited for.
    void post(std::function<void()> task);
    /// Blocks until the posted task has finished.
    void wait();

private:
    enum State : int { Idle, Posted, Done, Stopping };

    void run();
    bool spinUntil(State wanted);

    std::atomic<int> m_state { Idle };
    std::function<void()> m_task;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

} // namespace rinvo
