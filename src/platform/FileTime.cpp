#include "FileTime.h"

#include <array>
#include <cstdlib>
#include <limits>

namespace rinvo {

namespace {

std::int64_t floorModulo(std::int64_t value, std::int64_t step)
{
    std::int64_t rest = value % step;
    return rest < 0 ? rest + step : rest;
}

} // namespace

FileTime floorToGranularity(FileTime time, TimeGranularity granularity)
{
    const std::int64_t step = granularity.nanoseconds;
    if (step <= 1)
        return time;
    if (step < NanosecondsPerSecond) {
        time.nanoseconds -= static_cast<std::int32_t>(floorModulo(time.nanoseconds, step));
        return time;
    }
    const std::int64_t stepSeconds = step / NanosecondsPerSecond;
    return { time.seconds - floorModulo(time.seconds, stepSeconds), 0 };
}

bool isStrictlyLater(FileTime source, FileTime destination, TimeGranularity granularity)
{
    return floorToGranularity(source, granularity) > floorToGranularity(destination, granularity);
}

std::int64_t differenceInNanoseconds(FileTime a, FileTime b)
{
    constexpr std::int64_t Limit = std::numeric_limits<std::int64_t>::max() / 4;
    const std::int64_t seconds = a.seconds - b.seconds;
    if (seconds > Limit / NanosecondsPerSecond)
        return Limit;
    if (seconds < -Limit / NanosecondsPerSecond)
        return -Limit;
    return seconds * NanosecondsPerSecond + (a.nanoseconds - b.nanoseconds);
}

TimeGranularity granularityFromProbe(FileTime set, FileTime stored)
{
    // NTFS keeps 100 ns, exFAT 10 ms, many network and older file systems 1 s, FAT 2 s.
    static constexpr std::array<std::int64_t, 8> Steps = { 1, 100, 1'000, 1'000'000, 10'000'000,
        100'000'000, NanosecondsPerSecond, 2 * NanosecondsPerSecond };
    const std::int64_t off = std::llabs(differenceInNanoseconds(set, stored));
    for (std::int64_t step : Steps) {
        if (off < step && floorToGranularity(stored, { step }) == stored)
            return { step };
    }
    // A file system that strays further than any known step is compared as coarsely as FAT.
    return { 2 * NanosecondsPerSecond };
}

} // namespace rinvo
