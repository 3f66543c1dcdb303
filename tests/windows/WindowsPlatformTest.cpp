// What only Windows has: drive letters, the hidden, system and read-only attributes, the ANSI
// code page. Run under Wine in CI.

#include "app/CopyRun.h"
#include "app/RinvoModule.h"
#include "app/RuleEditing.h"
#include "copy/CopyFolderTree.h"
#include "copy/DestinationIndex.h"
#include "fakes/ScriptedFolderBrowser.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/TextCodec.h"
#include "platform/WinSupport.h"
#include "rules/RuleFile.h"
#include "support/TempFolder.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <windows.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

std::wstring wide(const std::string& utf8)
{
    return win::widen(utf8);
}

// A drive letter no drive has.
std::string missingDrive()
{
    const DWORD present = ::GetLogicalDrives();
    for (int letter = 25; letter >= 3; --letter) {
        if (!(present & (1u << letter)))
            return std::string(1, static_cast<char>('a' + letter)) + ":";
    }
    return "";
}

class NoObserver final : public CopyRunObserver
{
public:
    void rowStarted(std::size_t) override { }
    void fileCopied(std::string_view, std::string_view, std::uint64_t) override { }
    void rowFinished(std::size_t, const CopyReport&) override { }
};

class WindowsPlatform : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();

    std::string at(const std::string& relative) const
    {
        std::string path = temp.path() + "\\" + relative;
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        return path;
    }

    void setAttributes(const std::string& relative, DWORD attributes)
    {
        ASSERT_TRUE(::SetFileAttributesW(wide(at(relative)).c_str(), attributes));
    }
};

} // namespace

TEST_F(WindowsPlatform, DrivesAreDesignatorsAndRootsOnly)
{
    EXPECT_EQ(fs->pathStyle(), PathStyle::Windows);
    EXPECT_TRUE(fs->driveExists("c:"));
    EXPECT_TRUE(fs->driveExists("C:\\"));
    EXPECT_FALSE(fs->driveExists("C:\\windows"));
    ASSERT_FALSE(missingDrive().empty());
    EXPECT_FALSE(fs->driveExists(missingDrive()));
    EXPECT_TRUE(fs->folderExists("C:"));
}

TEST_F(WindowsPlatform, DoubledSeparatorsAfterADriveNameTheSameFile)
{
    writeFile(at("d/f.txt"), "x");
    std::string doubled = at("d/f.txt");
    doubled.insert(doubled.begin() + 2, '\\');
    EXPECT_TRUE(fs->fileExists(doubled)) << doubled;
}

TEST_F(WindowsPlatform, MissingDriveLettersAreToldAsTyped)
{
    writeFile(at("src/a.txt"), "a");
    const std::string drive = missingDrive();
    CopyRuleTable rules;
    rules[0] = { drive + "\\data", at("dst") };
    rules[1] = { at("src"), drive + "\\backup" };
    ScriptedMessageBox messages;
    messages.expect(messages::sourceDriveMissing(drive), MessageButtons::Ok, MessageAnswer::Ok);
    messages.expect(
        messages::destinationDriveMissing(drive), MessageButtons::Ok, MessageAnswer::Ok);
    messages.expect(messages::NothingCopied, MessageButtons::Ok, MessageAnswer::Ok);
    NoObserver observer;
    CopyRun(*fs, messages, observer).run(rules, CopyOption::SkipSystem);
    EXPECT_EQ(messages.surprises(), "");
}

struct AttributeCase
{
    CopyOption option;
    int expectedEntries;
};

class WindowsAttributes : public WindowsPlatform,
                          public ::testing::WithParamInterface<AttributeCase>
{ };

TEST_P(WindowsAttributes, HiddenAndSystemFollowTheOption)
{
    writeFile(at("src/plain.txt"), "p");
    writeFile(at("src/hidden.txt"), "h");
    writeFile(at("src/system.txt"), "s");
    writeFile(at("src/hdir/inner.txt"), "i");
    setAttributes("src/hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    setAttributes("src/system.txt", FILE_ATTRIBUTE_SYSTEM);
    setAttributes("src/hdir", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    CopyReport report = CopyFolderTree(
        *fs, { .source = at("src"), .destination = at("dst"), .option = GetParam().option });
    EXPECT_EQ(report.CopyStatusFlags, 0)
        << (report.failures.empty() ? "" : report.failures[0].error.message);
    EXPECT_EQ(countEntries(at("dst")), GetParam().expectedEntries);
}

INSTANTIATE_TEST_SUITE_P(Options, WindowsAttributes,
    ::testing::Values(AttributeCase { CopyOption::SkipHiddenAndSystem, 1 },
        AttributeCase { CopyOption::SkipSystem, 4 },
        AttributeCase { CopyOption::CopyEverything, 5 }));

TEST_F(WindowsPlatform, AReadOnlyTargetIsRefusedWithBitZero)
{
    writeFile(at("src/f.txt"), "new", { 1'700'000'000, 0 });
    writeFile(at("dst/f.txt"), "old", { 1'600'000'000, 0 });
    setAttributes("dst/f.txt", FILE_ATTRIBUTE_READONLY);
    CopyReport report = CopyFolderTree(
        *fs, { .source = at("src"), .destination = at("dst"), .option = CopyOption::SkipSystem });
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
    EXPECT_EQ(readFile(at("dst/f.txt")), "old");
    setAttributes("dst/f.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsPlatform, ACopyKeepsTheTimeAndASecondRunCopiesNothing)
{
    writeFile(at("src/a.txt"), "a", { 1'700'000'001, 123'456'700 });
    writeFile(at("src/sub/b.txt"), "b");
    CopyReport first = CopyFolderTree(
        *fs, { .source = at("src"), .destination = at("dst"), .option = CopyOption::SkipSystem });
    EXPECT_EQ(first.filesCopied, 2u);
    EXPECT_EQ(modifiedTime(at("dst/a.txt")), (FileTime { 1'700'000'001, 123'456'700 }));
    CopyReport second = CopyFolderTree(
        *fs, { .source = at("src"), .destination = at("dst"), .option = CopyOption::SkipSystem });
    EXPECT_EQ(second.filesCopied, 0u);
    EXPECT_EQ(second.filesUpToDate, 2u);
}

TEST_F(WindowsPlatform, ASourceAtADriveRootIsTrimmedToTheDrive)
{
    // An empty drive of its own: scripts/test.sh maps one for Wine and names it here.
    const char* drive = std::getenv("RINVO_TEST_EMPTY_DRIVE");
    if (!drive || !fs->driveExists(drive))
        GTEST_SKIP() << "no empty drive was given in RINVO_TEST_EMPTY_DRIVE";
    const std::string root = std::string(drive) + "\\";
    writeFile(root + "top.txt", "t");
    writeFile(root + "sub\\deep.txt", "d");
    CopyReport report = CopyFolderTree(
        *fs, { .source = root, .destination = at("dst"), .option = CopyOption::SkipSystem });
    EXPECT_EQ(report.filesCopied, 2u);
    EXPECT_EQ(report.CopyStatusFlags, 0)
        << (report.failures.empty() ? "" : report.failures[0].path);
    EXPECT_EQ(readFile(at("dst/sub/deep.txt")), "d");
    // A single file at the root, into a destination whose path ends in a separator.
    CopyReport single = CopyFolderTree(*fs,
        { .source = root + "top.txt",
            .destination = at("dst/sub") + "\\",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(single.filesCopied, 1u);
    EXPECT_EQ(readFile(at("dst/sub/top.txt")), "t");
}

TEST_F(WindowsPlatform, ADriveRootChosenForASourceKeepsItsSeparatorAndForADestinationDropsIt)
{
    ScriptedMessageBox messages;
    ScriptedFolderBrowser browser;
    RinvoModule module;
    const std::unique_ptr<TextCodec> codec = createSystemCodec();
    RuleEditing editing(*fs, messages, browser, *codec, module);
    RuleWindowState state;
    for (const char* chosen : { "C:\\", "C:\\Windows\\" }) {
        browser.willChoose(chosen);
        editing.SFolder_Click(state, 0);
        browser.willChoose(chosen);
        editing.DFolder_Click(state, 0);
        const bool root = std::string_view(chosen) == "C:\\";
        EXPECT_EQ(state.rules[0].source, root ? "C:\\" : "C:\\Windows");
        EXPECT_EQ(state.rules[0].destination, root ? "C:" : "C:\\Windows");
    }
    EXPECT_EQ(messages.surprises(), "");
}

TEST_F(WindowsPlatform, TheDestinationIndexSeesAFileDeletedAndAFolderRemovedFromTheBackup)
{
    writeFile(at("src/a.txt"), "a");
    writeFile(at("src/d/b.txt"), "b");
    writeFile(at("src/d/e/c.txt"), "c");
    DestinationIndex index;
    auto run = [&] {
        return CopyFolderTree(*fs,
            { .source = at("src"),
                .destination = at("dst"),
                .option = CopyOption::SkipSystem,
                .index = &index });
    };
    run();
    // A folder changed in the last two seconds is listed again next time rather than kept.
    ::Sleep(2100);
    run();
    EXPECT_GT(index.folderCount(), 0u);
    ASSERT_TRUE(::DeleteFileW(wide(at("dst/d/b.txt")).c_str()));
    std::filesystem::remove_all(std::filesystem::path(wide(at("dst/d/e"))));
    const CopyReport report = run();
    EXPECT_TRUE(index.trusted()) << "the temporary folder's volume keeps its folder times";
    EXPECT_EQ(report.filesCopied, 2u);
    EXPECT_EQ(readFile(at("dst/d/b.txt")), "b");
    EXPECT_EQ(readFile(at("dst/d/e/c.txt")), "c");
}

TEST_F(WindowsPlatform, TheRuleFileKeepsJapaneseNamesInCodePage932)
{
    auto codec = createCodec("CP932");
    ASSERT_TRUE(codec);
    CopyRuleTable rules;
    rules[0] = { "C:\\山田\\書類", "D:\\バックアップ\\表" };
    const std::string path = ruleFilePath(temp.path(), PathStyle::Windows);
    ASSERT_FALSE(SaveRuleFile(*fs, path, rules, *codec));
    const auto bytes = readFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find("\x95\x5C"), std::string::npos) << "表 in Shift-JIS";
    auto loaded = LoadRuleFile(*fs, path, *codec);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ((*loaded)[0], rules[0]);
}

TEST_F(WindowsPlatform, TheAnsiCodePageIsTheSystemCodec)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << "; run with a Japanese locale";
    auto codec = createSystemCodec();
    EXPECT_EQ(codec->name(), "CP932");
    EXPECT_EQ(codec->encode("コ"), std::string("\x83\x52"));
}

TEST_F(WindowsPlatform, SettingsLiveInTheRoamingAppDataAndAWritableFolderIsToldByTrying)
{
    const std::string settings = userSettingsFolder();
    EXPECT_TRUE(settings.ends_with("\\Rinvo")) << settings;
    EXPECT_TRUE(userCanWriteFolder(temp.path()));
    EXPECT_FALSE(userCanWriteFolder(at("missing")));
    EXPECT_EQ(countEntries(temp.path()), 0) << "the probe leaves nothing behind";
}
