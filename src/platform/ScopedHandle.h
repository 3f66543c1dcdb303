#pragma once

// One owner for every kind of Windows handle: the handle is released exactly once, on every
// way out. Only Windows builds include this.

#include <utility>

#include <windows.h>

namespace rinvo::win {

/// Owns a handle of the kind the traits describe and releases it when it goes.
template <class Traits> class ScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle)
        : m_handle(handle)
    { }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Traits::invalid()))
    { }
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, Traits::invalid());
        }
        return *this;
    }
    ~ScopedHandle() { reset(); }

    bool valid() const { return Traits::isValid(m_handle); }
    explicit operator bool() const { return valid(); }
    Handle get() const { return m_handle; }

    /// Releases the handle now.
    void reset()
    {
        if (valid())
            Traits::close(m_handle);
        m_handle = Traits::invalid();
    }

private:
    Handle m_handle = Traits::invalid();
};

/// Files, processes and threads: CreateFile fails with INVALID_HANDLE_VALUE, OpenProcess with
/// null; both mean no handle.
struct KernelHandleTraits
{
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static bool isValid(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { ::CloseHandle(handle); }
};

/// A search begun by FindFirstFile.
struct FindHandleTraits
{
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool isValid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { ::FindClose(handle); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

} // namespace rinvo::win
