#include "ProcessStart.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include <unistd.h>

namespace rinvo {

namespace {

// Which boot of the system this is: a process started in another one is long gone.
const std::string& bootId()
{
    static const std::string Id = [] {
        std::ifstream file("/proc/sys/kernel/random/boot_id");
        std::string id;
        std::getline(file, id);
        return id;
    }();
    return Id;
}

std::uint64_t fnv1a(std::string_view text)
{
    std::uint64_t hash = 1469598103934665603u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211u;
    }
    return hash;
}

} // namespace

std::uint64_t processStart(std::uint64_t processId)
{
    std::ifstream file("/proc/" + std::to_string(processId) + "/stat");
    std::string stat;
    if (!std::getline(file, stat))
        return 0;
    // The start time is the 22nd field; the name in parentheses, the 2nd, may hold blanks.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) { }
    if (field.empty())
        return 0;
    const std::uint64_t started = fnv1a(bootId() + ':' + field);
    return started == 0 ? 1 : started;
}

TempWriter thisWriter()
{
    // Read again in a child process, which is a writer of its own.
    static std::mutex mutex;
    static TempWriter writer;
    const auto pid = static_cast<std::uint64_t>(::getpid());
    std::lock_guard lock(mutex);
    if (writer.processId != pid)
        writer = { pid, processStart(pid) };
    return writer;
}

bool writerRuns(const TempWriter& writer)
{
    if (writer.processId == 0 || writer.processId > static_cast<std::uint64_t>(INT32_MAX))
        return false;
    if (writer.started != 0)
        return processStart(writer.processId) == writer.started;
    return ::kill(static_cast<pid_t>(writer.processId), 0) == 0 || errno == EPERM;
}

} // namespace rinvo
