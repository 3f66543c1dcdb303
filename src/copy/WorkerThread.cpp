#include "WorkerThread.h"

#include <cassert>
#include <chrono>

namespace rinvo {

namespace {

// Tasks are a folder listing each, a fraction of a millisecond; waking a sleeping thread on
// another core costs about as much on a virtual machine, so both sides spin first: busily
// for a short while, then yielding, so a thread sharing the core can still run.
constexpr auto BusySpinTime = std::chrono::microseconds(150);
constexpr auto YieldSpinTime = std::chrono::microseconds(500);

void pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

WorkerThread::WorkerThread()
    : m_thread([this] { run(); })
{ }

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_state.store(Stopping);
    }
    m_changed.notify_all();
    m_thread.join();
}

bool WorkerThread::spinUntil(State wanted)
{
    const auto started = std::chrono::steady_clock::now();
    for (int round = 0;; ++round) {
        const int state = m_state.load(std::memory_order_acquire);
        if (state == wanted || state == Stopping)
            return true;
        if ((round & 15) != 15) {
            pause();
            continue;
        }
        const auto spent = std::chrono::steady_clock::now() - started;
        if (spent > YieldSpinTime)
            return false;
        if (spent > BusySpinTime)
            std::this_thread::yield();
    }
}

void WorkerThread::post(std::function<void()> task)
{
    assert(m_state.load() != Posted && "the previous task was not waited for");
    m_task = std::move(task);
    {
        std::lock_guard lock(m_mutex);
        m_state.store(Posted, std::memory_order_release);
    }
    m_changed.notify_all();
}

void WorkerThread::wait()
{
    if (spinUntil(Done))
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_state.load() == Done; });
}

void WorkerThread::run()
{
    for (;;) {
        if (!spinUntil(Posted)) {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] {
                const int state = m_state.load();
                return state == Posted || state == Stopping;
            });
        }
        if (m_state.load(std::memory_order_acquire) == Stopping)
            return;
        m_task();
        m_task = nullptr;
        {
            std::lock_guard lock(m_mutex);
            m_state.store(Done, std::memory_order_release);
        }
        m_changed.notify_all();
    }
}

} // namespace rinvo
