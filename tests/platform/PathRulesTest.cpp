#include "platform/PathRules.h"
#include "platform/DriveRules.h"

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

TEST(DriveRules, APathsDriveIsTheFolderItsDriveIsMountedOnOrItsFirstTwoCharacters)
{
    const std::vector<std::string> fstab
        = { "/srv/backup", "/media/u/DISK/inner", "/media/backup" };
    struct Case
    {
        std::string_view path;
        PathStyle style;
        std::optional<std::string> drive;
    };
    const Case cases[] = {
        { "/media/u/STICK/bak", PathStyle::Posix, "/media/u/STICK" },
        { "/media//u/STICK/", PathStyle::Posix, "/media/u/STICK" },
        { "/media/u", PathStyle::Posix, std::nullopt },
        { "/run/media/u/STICK/x", PathStyle::Posix, "/run/media/u/STICK" },
        { "/mnt/usb/x", PathStyle::Posix, "/mnt/usb" },
        { "/mnt", PathStyle::Posix, std::nullopt },
        { "/srv/backup/x", PathStyle::Posix, "/srv/backup" },
        { "/srv/backups", PathStyle::Posix, std::nullopt },
        { "/media/u/DISK/inner/y", PathStyle::Posix, "/media/u/DISK/inner" },
        { "/media/backup/nightly/x", PathStyle::Posix, "/media/backup" },
        { "/home/u/data", PathStyle::Posix, std::nullopt },
        { " x/data", PathStyle::Posix, " x" },
        { "\\\\server\\share", PathStyle::Windows, std::nullopt },
        { "c:\\data", PathStyle::Windows, "c:" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(driveOfPath(c.path, c.style, fstab), c.drive) << c.path;
}

TEST(DriveRules, TheTableGivesItsMountPointsButTheRootSwapAndPseudoFileSystems)
{
    const std::string table = "# /etc/fstab\n"
                              "UUID=1 / ext4 defaults 0 1\n"
                              "UUID=2 none swap sw 0 0\n"
                              "proc /proc proc defaults 0 0\n"
                              "\n"
                              "LABEL=BACKUP /srv/back\\040up ext4 noauto,user 0 2\n";
    EXPECT_EQ(mountPointsOfTable(table), std::vector<std::string> { "/srv/back up" });
}
