#include "ProcessStart.h"

#include "ScopedHandle.h"

namespace rinvo {

std::uint64_t processStart(std::uint64_t processId)
{
    const win::ScopedKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
    DWORD code = 0;
    FILETIME created;
    FILETIME unused[3];
    if (!process || !::GetExitCodeProcess(process.get(), &code) || code != STILL_ACTIVE
        || !::GetProcessTimes(process.get(), &created, &unused[0], &unused[1], &unused[2]))
        return 0;
    // The creation time, in 100 ns steps since 1601, tells a process from any other.
    const std::uint64_t started
        = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return started == 0 ? 1 : started;
}

TempWriter thisWriter()
{
    static const TempWriter Writer = [] {
        const std::uint64_t pid = ::GetCurrentProcessId();
        return TempWriter { pid, processStart(pid) };
    }();
    return Writer;
}

bool writerRuns(const TempWriter& writer)
{
    const std::uint64_t started = processStart(writer.processId);
    if (started != 0 && writer.started != 0)
        return started == writer.started;
    // A name of an earlier version: a process with the number counts; an access refused to a
    // process of another user too.
    if (started != 0)
        return true;
    const win::ScopedKernelHandle process(::OpenProcess(
        PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(writer.processId)));
    return !process && ::GetLastError() == ERROR_ACCESS_DENIED;
}

} // namespace rinvo
