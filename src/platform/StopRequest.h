#pragma once

#include <atomic>

namespace rinvo {

/// A request to stop a copy, made from another thread or a signal handler, and honoured between
/// files and between the blocks of a large file.
class StopRequest
{
public:
    virtual ~StopRequest() = default;

    /// Asks the copy to stop; safe in a signal handler.
    void request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    /// Withdraws the request, before a new run.
    void reset() noexcept { m_requested.store(false, std::memory_order_relaxed); }
    /// Tells whether a stop was asked for.
    virtual bool requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_requested { false };
};

/// Tells whether the request, where there is one, asks to stop.
inline bool stopRequested(const StopRequest* stop)
{
    return stop && stop->requested();
}

} // namespace rinvo
