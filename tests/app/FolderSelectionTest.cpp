#include "app/FolderSelection.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

using namespace rinvo;

TEST(FolderSelection, NodeKeysCountWithAtLeastThreeDigitsBelowTheirParentsKey)
{
    EXPECT_EQ(childNodeKey(RootNodeKey, 1), "n001");
    EXPECT_EQ(childNodeKey(RootNodeKey, 42), "n042");
    EXPECT_EQ(childNodeKey(RootNodeKey, 1000), "n1000");
    EXPECT_EQ(childNodeKey("n005", 2), "n005n002");
    EXPECT_NE(childNodeKey("n001", 1), childNodeKey("n002", 1))
        << "two folders of one name keep apart";
}

TEST(FolderSelection, ClashesIgnoreLetterCase)
{
    const std::vector<std::string> existing { "/Tools", "/data/Bin" };
    EXPECT_TRUE(clashesWithExisting(existing, "/TOOLS"));
    EXPECT_TRUE(clashesWithExisting(existing, "/data/bin"));
    EXPECT_FALSE(clashesWithExisting(existing, "/data/bin2"));
}

TEST(FolderSelection, FileListSettingsStayForUnknownOptions)
{
    const FileListSettings current { false, true };
    EXPECT_FALSE(fileListSettingsFor(CopyOption::SkipHiddenAndSystem, current).showHidden);
    EXPECT_TRUE(fileListSettingsFor(CopyOption::CopyEverything, current).showSystem);
    const FileListSettings kept = fileListSettingsFor(static_cast<CopyOption>(9), current);
    EXPECT_FALSE(kept.showHidden);
    EXPECT_TRUE(kept.showSystem);
}

TEST(Drives, EveryListedDriveIsPresentAndPseudoFileSystemsAreLeftOut)
{
    auto fs = createNativeFileSystem();
    const std::vector<std::string> drives = listDrives();
    ASSERT_FALSE(drives.empty());
    if (fs->pathStyle() == PathStyle::Posix) {
        EXPECT_EQ(drives.front(), "/");
    }
    for (const std::string& drive : drives) {
        EXPECT_TRUE(fs->driveExists(drive)) << drive;
        EXPECT_FALSE(drive.starts_with("/proc")) << drive;
        EXPECT_FALSE(drive.starts_with("/sys")) << drive;
    }
}
