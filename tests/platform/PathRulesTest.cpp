#include "platform/PathRules.h"

#include <gtest/gtest.h>

using namespace rinvo;

TEST(PathRules, TrimsOneTrailingSeparatorButNeverThePosixRoot)
{
    EXPECT_EQ(trimTrailingSeparator("/data/", PathStyle::Posix), "/data");
    EXPECT_EQ(trimTrailingSeparator("/data//", PathStyle::Posix), "/data/");
    EXPECT_EQ(trimTrailingSeparator("/data", PathStyle::Posix), "/data");
    EXPECT_EQ(trimTrailingSeparator("/", PathStyle::Posix), "/");
    EXPECT_EQ(trimTrailingSeparator("D:\\", PathStyle::Windows), "D:");
    EXPECT_EQ(trimTrailingSeparator("D:\\data\\", PathStyle::Windows), "D:\\data");
}

TEST(PathRules, JoinsWithExactlyOneSeparator)
{
    EXPECT_EQ(joinPath("/data", "a.txt", PathStyle::Posix), "/data/a.txt");
    EXPECT_EQ(joinPath("/", "a.txt", PathStyle::Posix), "/a.txt");
    EXPECT_EQ(joinPath("D:", "a.txt", PathStyle::Windows), "D:\\a.txt");
    EXPECT_EQ(joinPath("D:\\", "a.txt", PathStyle::Windows), "D:\\a.txt");
    EXPECT_EQ(joinPath("\\\\server\\share", "a", PathStyle::Windows), "\\\\server\\share\\a");
}

TEST(PathRules, SplitsAFilePathIntoFolderAndName)
{
    EXPECT_EQ(lastComponent("/a/report.txt", PathStyle::Posix), "report.txt");
    EXPECT_EQ(parentPath("/a/report.txt", PathStyle::Posix), "/a");
    EXPECT_EQ(parentPath("/report.txt", PathStyle::Posix), "/");
    EXPECT_EQ(parentPath("/a//report.txt", PathStyle::Posix), "/a");
    EXPECT_EQ(parentPath("report.txt", PathStyle::Posix), ".");
    EXPECT_EQ(lastComponent("C:\\a\\report.txt", PathStyle::Windows), "report.txt");
    EXPECT_EQ(parentPath("C:\\a\\report.txt", PathStyle::Windows), "C:\\a");
    EXPECT_EQ(parentPath("C:\\\\report.txt", PathStyle::Windows), "C:\\");
    EXPECT_EQ(parentPath("C:report.txt", PathStyle::Windows), "C:");
    // A backslash is an ordinary character in a POSIX name.
    EXPECT_EQ(lastComponent("/a/b\\c", PathStyle::Posix), "b\\c");
}
