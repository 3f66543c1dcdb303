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
    // NOTE: many more threads than processors, since much of a copy's time is spent waiting
    // for the disk or the network rather than working: measured on two cores, a cold disk
    // gained up to 8 threads and a share with a 1 ms round trip up to 16, while a warm tree
    // lost nothing at 16.
    return std::min(8 * processors, 32u);
}

} // namespace rinvo
