#include "Processors.h"

#include <thread>

#include <sched.h>

namespace rinvo {

unsigned usableProcessorCount()
{
    // The affinity mask, not the machine's size: a process pinned to one core has one.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        return count > 0 ? static_cast<unsigned>(count) : 1u;
    }
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1u;
}

} // namespace rinvo
