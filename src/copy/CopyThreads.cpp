#include "CopyThreads.h"

#include "platform/Processors.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace rinvo {

namespace {

// Beyond this many, threads only add contention for the same folders and devices.
constexpr unsigned MostThreads = 64;

} // namespace

unsigned copyThreadCount(unsigned requested)
{
    if (requested > 0)
        return std::min(requested, MostThreads);
    if (const char* text = std::getenv("RINVO_COPY_THREADS")) {
        unsigned count = 0;
        const char* end = text + std::strlen(text);
        if (auto [last, error] = std::from_chars(text, end, count);
            error == std::errc() && last == end && count > 0)
            return std::min(count, MostThreads);
    }
    const unsigned processors = usableProcessorCount();
    if (processors == 1)
        return 1;
    // NOTE: more threads than processors, since much of a copy's time is spent waiting for the
    // disk or the network rather than working.
    return std::min(4 * processors, 16u);
}

} // namespace rinvo
