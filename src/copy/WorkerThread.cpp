#include "WorkerThread.h"

#include <cassert>

namespace rinvo {

WorkerThread::WorkerThread()
    : m_thread([this] { run(); })
{ }

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void WorkerThread::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        assert(!m_busy && "the previous task was not waited for");
        m_task = std::move(task);
        m_busy = true;
    }
    m_changed.notify_all();
}

void WorkerThread::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
}

void WorkerThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || (m_busy && m_task); });
        if (m_stopping)
            return;
        std::function<void()> task = std::move(m_task);
        m_task = nullptr;
        lock.unlock();
        task();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

} // namespace rinvo
