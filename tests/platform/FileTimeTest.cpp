#include "platform/FileTime.h"

#include <gtest/gtest.h>

using namespace rinvo;

namespace {
constexpr TimeGranularity Exact { 1 };
constexpr TimeGranularity TwoSeconds { 2 * NanosecondsPerSecond };
constexpr TimeGranularity TenMilliseconds { 10'000'000 };
} // namespace

TEST(FileTime, FloorsToEvenSecondsForTwoSecondGranularity)
{
    EXPECT_EQ(floorToGranularity({ 1001, 999'999'999 }, TwoSeconds), (FileTime { 1000, 0 }));
    EXPECT_EQ(floorToGranularity({ 1000, 1 }, TwoSeconds), (FileTime { 1000, 0 }));
    EXPECT_EQ(floorToGranularity({ -1, 5 }, TwoSeconds), (FileTime { -2, 0 }));
    EXPECT_EQ(
        floorToGranularity({ 7, 123'456'789 }, TenMilliseconds), (FileTime { 7, 120'000'000 }));
    EXPECT_EQ(floorToGranularity({ 7, 123'456'789 }, Exact), (FileTime { 7, 123'456'789 }));
}

TEST(FileTime, StrictlyLaterIsExactToTheNanosecondOnPreciseFileSystems)
{
    EXPECT_TRUE(isStrictlyLater({ 10, 2 }, { 10, 1 }, Exact));
    EXPECT_FALSE(isStrictlyLater({ 10, 1 }, { 10, 1 }, Exact));
    EXPECT_FALSE(isStrictlyLater({ 10, 0 }, { 10, 1 }, Exact));
}

TEST(FileTime, StrictlyLaterIgnoresWhatACoarseDestinationRoundedAway)
{
    // FAT stored 1235.7 as 1234: the source is not later in the destination's terms.
    EXPECT_FALSE(isStrictlyLater({ 1235, 700'000'000 }, { 1234, 0 }, TwoSeconds));
    // A source changed in a later two-second step is later.
    EXPECT_TRUE(isStrictlyLater({ 1236, 0 }, { 1234, 0 }, TwoSeconds));
    // A destination that rounded up stays not older.
    EXPECT_FALSE(isStrictlyLater({ 1235, 1 }, { 1236, 0 }, TwoSeconds));
}

TEST(FileTime, ProbeRecognisesHowTheFileSystemStoredTheTime)
{
    const FileTime set { 1'600'000'001, 456'789'123 };
    EXPECT_EQ(granularityFromProbe(set, set), Exact);
    EXPECT_EQ(granularityFromProbe(set, { 1'600'000'001, 456'789'100 }), (TimeGranularity { 100 }));
    EXPECT_EQ(granularityFromProbe(set, { 1'600'000'001, 450'000'000 }), TenMilliseconds);
    EXPECT_EQ(granularityFromProbe(set, { 1'600'000'001, 0 }),
        (TimeGranularity { NanosecondsPerSecond }));
    EXPECT_EQ(granularityFromProbe(set, { 1'600'000'000, 0 }), TwoSeconds);
    EXPECT_EQ(granularityFromProbe(set, { 1'500'000'000, 0 }), TwoSeconds);
}

TEST(FileTime, ARoundingUpDestinationNeverLooksOlderThanItsSource)
{
    // Whatever step a rounding-up file system is taken for, its stored time is not earlier.
    const FileTime set { 1'600'000'001, 456'789'123 };
    const FileTime stored { 1'600'000'002, 0 };
    EXPECT_FALSE(isStrictlyLater(set, stored, granularityFromProbe(set, stored)));
}
