#pragma once

#include <compare>
#include <cstdint>

namespace rinvo {

/// A file's last-modified time as the file system stores it; only compared, never shown.
struct FileTime
{
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;

    auto operator<=>(const FileTime&) const = default;
};

/// How finely a file system stores modification times, in nanoseconds (1 = exact).
struct TimeGranularity
{
    std::int64_t nanoseconds = 1;

    bool operator==(const TimeGranularity&) const = default;
};

inline constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

/// Returns the time rounded down to a whole multiple of the granularity.
FileTime floorToGranularity(FileTime time, TimeGranularity granularity);

/// Tells whether the source time is strictly later than the destination's, comparing both at
/// the destination's granularity, so that a time the destination had to round does not count.
bool isStrictlyLater(FileTime source, FileTime destination, TimeGranularity granularity);

/// Returns the granularity that explains how the file system stored the probe time 'set' as
/// 'stored': the finest common step that the stored time is a multiple of and within one step of.
TimeGranularity granularityFromProbe(FileTime set, FileTime stored);

/// Returns the difference a - b in nanoseconds, saturating far outside a century's range.
std::int64_t differenceInNanoseconds(FileTime a, FileTime b);

} // namespace rinvo
