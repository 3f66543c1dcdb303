#include "rules/RuleFile.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

class RuleFileTest : public ::testing::Test
{
protected:
    std::unique_ptr<TextCodec> utf8 = createCodec("UTF-8");
    std::unique_ptr<TextCodec> sjis = createCodec("CP932");

    std::vector<CopyRule> parse(std::string_view bytes) { return parseRuleFile(bytes, *utf8); }

    std::string format(const CopyRuleTable& table)
    {
        std::string why;
        auto bytes = formatRuleFile(table, *utf8, &why);
        EXPECT_TRUE(bytes) << why;
        return bytes.value_or("");
    }
};

} // namespace

TEST_F(RuleFileTest, WorkedExampleIsWrittenByteForByteAndReadBackCompacted)
{
    CopyRuleTable table;
    table[0] = { "c:\\data", "d:\\backup\\data" };
    table[2] = { "c:\\mail", "d:\\backup\\mail" };
    table[3] = { "c:\\tmp", "" };
    const std::string bytes = format(table);
    const unsigned char firstLine[]
        = { 0x22, 0x63, 0x3A, 0x5C, 0x64, 0x61, 0x74, 0x61, 0x22, 0x2C, 0x22, 0x64, 0x3A, 0x5C,
              0x62, 0x61, 0x63, 0x6B, 0x75, 0x70, 0x5C, 0x64, 0x61, 0x74, 0x61, 0x22, 0x0D, 0x0A };
    EXPECT_EQ(bytes.substr(0, sizeof firstLine),
        std::string(reinterpret_cast<const char*>(firstLine), sizeof firstLine));
    EXPECT_EQ(bytes, "\"c:\\data\",\"d:\\backup\\data\"\r\n\"c:\\mail\",\"d:\\backup\\mail\"\r\n");
    const std::vector<CopyRule> rows = parse(bytes);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (CopyRule { "c:\\mail", "d:\\backup\\mail" }));
}

TEST_F(RuleFileTest, OnlyRowsWithBothSidesBeyondSpacesAreWrittenAndSpacesStayInside)
{
    CopyRuleTable table;
    table[0] = { "   ", "/b" };
    table[1] = { "/a ", " /b" };
    table[2] = { "/x,y", "/z" };
    const std::string bytes = format(table);
    EXPECT_EQ(bytes, "\"/a \",\" /b\"\r\n\"/x,y\",\"/z\"\r\n");
    const std::vector<CopyRule> rows = parse(bytes);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CopyRule { "/a ", " /b" }));
    EXPECT_EQ(rows[1], (CopyRule { "/x,y", "/z" }));
    EXPECT_EQ(format(CopyRuleTable {}), "") << "no complete row: a zero-byte file";
    EXPECT_TRUE(parse("").empty());
}

TEST_F(RuleFileTest, ReadsAtMostTenRows)
{
    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += "\"/s" + std::to_string(i) + "\",\"/d" + std::to_string(i) + "\"\r\n";
    const std::vector<CopyRule> rows = parse(twelve);
    ASSERT_EQ(rows.size(), MaxRules);
    EXPECT_EQ(rows[9].source, "/s9");
}

struct ParseCase
{
    const char* name;
    std::string bytes;
    std::vector<CopyRule> rows;
};

class RuleFileParsing : public RuleFileTest, public ::testing::WithParamInterface<ParseCase>
{ };

TEST_P(RuleFileParsing, ReadsFieldsAsHandEditsLeaveThem)
{
    EXPECT_EQ(parse(GetParam().bytes), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Fields, RuleFileParsing,
    ::testing::Values(ParseCase { "Unquoted", "  /a,/b\r\n", { { "/a", "/b" } } },
        ParseCase { "SingleFieldLineTakesItsPartnerFromTheNextLine", "\"/a\"\r\n\"/b\"\r\n",
            { { "/a", "/b" } } },
        ParseCase {
            "LoneLineEnds", "\"/a\",\"/b\"\n\"/c\",\"/d\"\r", { { "/a", "/b" }, { "/c", "/d" } } },
        ParseCase { "BlankLinesBetweenAndAfterRows",
            "\r\n\"/a\",\"/b\"\r\n\r\n  \r\n\"/c\",\"/d\"\r\n\r\n",
            { { "/a", "/b" }, { "/c", "/d" } } },
        ParseCase { "LastRowWithOneField", "\"/a\",\"/b\"\r\n\"/c\"\r\n",
            { { "/a", "/b" }, { "/c", "" } } },
        ParseCase { "EmptyFieldBeforeALineEnd", "\"/a\",\r\n\"/c\",\"/d\"\r\n",
            { { "/a", "" }, { "/c", "/d" } } },
        ParseCase { "TextAfterAClosingQuoteIsDropped", "\"/a\"xyz,\"/b\"\r\n", { { "/a", "/b" } } },
        ParseCase { "UnterminatedQuoteRunsToTheEnd", "\"/a\",\"/b", { { "/a", "/b" } } },
        ParseCase {
            "NulBytesAreDropped", std::string("\"/a\0b\",\"/c\"\r\n", 13), { { "/ab", "/c" } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RuleFileTest, JapaneseNamesRoundTripThroughShiftJis)
{
    ASSERT_TRUE(sjis) << "glibc's iconv knows CP932";
    CopyRuleTable table;
    table[0] = { "/home/山田/書類", "/media/バックアップ/表" };
    std::string why;
    const auto bytes = formatRuleFile(table, *sjis, &why);
    ASSERT_TRUE(bytes) << why;
    // 表 is 0x95 0x5C in Shift-JIS: its second byte is the backslash.
    EXPECT_NE(bytes->find("\x95\x5C"), std::string::npos);
    EXPECT_EQ(bytes->find("\xE6"), std::string::npos) << "no UTF-8 left";
    const std::vector<CopyRule> rows = parseRuleFile(*bytes, *sjis);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], table[0]);
}

TEST_F(RuleFileTest, PathsTheFileCannotHoldAreNamed)
{
    EXPECT_FALSE(whyRuleFileCannotHold("/home/山田", *sjis));
    EXPECT_TRUE(whyRuleFileCannotHold("/say \"hi\"", *utf8));
    EXPECT_TRUE(whyRuleFileCannotHold("/emoji 😀", *sjis));
    CopyRuleTable table;
    table[0] = { "/emoji 😀", "/b" };
    std::string why;
    EXPECT_FALSE(formatRuleFile(table, *sjis, &why));
    EXPECT_NE(why.find("/emoji"), std::string::npos);
}

TEST_F(RuleFileTest, TheFileLivesBesideTheProgramEvenInARoot)
{
    EXPECT_EQ(ruleFilePath("/opt/rinvo", PathStyle::Posix), "/opt/rinvo/copyrule.txt");
    EXPECT_EQ(ruleFilePath("/", PathStyle::Posix), "//copyrule.txt");
    EXPECT_EQ(ruleFilePath("C:\\", PathStyle::Windows), "C:\\\\copyrule.txt");
    auto fs = createNativeFileSystem();
    if (fs->pathStyle() == PathStyle::Posix) {
        EXPECT_EQ(fs->fileExists("//etc/hostname"), fs->fileExists("/etc/hostname"));
    }
}

TEST_F(RuleFileTest, SaveAndLoadThroughTheFileSystem)
{
    TempFolder temp;
    auto fs = createNativeFileSystem();
    const std::string path = ruleFilePath(temp.path(), PathStyle::Posix);
    auto missing = LoadRuleFile(*fs, path, *utf8);
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(*missing, CopyRuleTable {});

    CopyRuleTable table;
    table[4] = { "/a", "/b" };
    table[1] = { "/only-source", "" };
    ASSERT_FALSE(SaveRuleFile(*fs, path, table, *utf8));
    auto loaded = LoadRuleFile(*fs, path, *utf8);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ((*loaded)[0], (CopyRule { "/a", "/b" }));
    EXPECT_EQ((*loaded)[1], CopyRule {});

    ASSERT_FALSE(SaveRuleFile(*fs, path, CopyRuleTable {}, *utf8));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(*LoadRuleFile(*fs, path, *utf8), CopyRuleTable {});
}

TEST_F(RuleFileTest, FilesFromElsewhereAreReadInTheirOwnCharacterSet)
{
    const std::string mark(Utf8ByteOrderMark);
    const std::string utf8Path = "/データ";
    const std::string shiftJisPath = "/\x83\x66\x81\x5B\x83\x5E"; // データ in code page 932
    // A lead byte of code page 932 before a space: invalid there, and in UTF-8.
    const std::string brokenPath = "/\x83 x";
    struct Case
    {
        const char* what;
        const TextCodec& system;
        std::string path;
        RuleFileEncoding readAs;
        std::string source;
    };
    const Case cases[] = {
        { "UTF-8 with a mark on a UTF-8 system", *utf8, mark + utf8Path,
            RuleFileEncoding::SystemCodePage, utf8Path },
        { "UTF-8 with a mark on a 932 system", *sjis, mark + utf8Path, RuleFileEncoding::Utf8,
            utf8Path },
        { "ASCII with a mark, which is no part of the path", *sjis, mark + "/plain",
            RuleFileEncoding::Utf8, "/plain" },
        { "UTF-8 without a mark on a 932 system, where its bytes are valid too", *sjis, utf8Path,
            RuleFileEncoding::Utf8, utf8Path },
        { "932 on a 932 system", *sjis, shiftJisPath, RuleFileEncoding::SystemCodePage, utf8Path },
        { "932 on a UTF-8 system", *utf8, shiftJisPath, RuleFileEncoding::CodePage932, utf8Path },
        { "ASCII on a 932 system", *sjis, "/plain", RuleFileEncoding::SystemCodePage, "/plain" },
        { "UTF-8 on a UTF-8 system", *utf8, utf8Path, RuleFileEncoding::SystemCodePage, utf8Path },
        { "invalid in all on a UTF-8 system", *utf8, brokenPath, RuleFileEncoding::Unknown,
            utf8->decode(brokenPath) },
        { "marked as UTF-8 but not UTF-8", *sjis, mark + shiftJisPath, RuleFileEncoding::Unknown,
            sjis->decode(shiftJisPath) },
        { "invalid in all on a 932 system", *sjis, brokenPath, RuleFileEncoding::Unknown,
            sjis->decode(brokenPath) },
    };
    TempFolder temp;
    auto fs = createNativeFileSystem();
    const std::string file = temp / "copyrule.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A mark begins the file, before the first quote.
        const bool marked = c.path.starts_with(mark);
        writeFile(file,
            (marked ? mark : "") + "\"" + c.path.substr(marked ? mark.size() : 0)
                + "\",\"/b\"\r\n");
        RuleFileEncoding readAs = RuleFileEncoding::SystemCodePage;
        auto loaded = LoadRuleFile(*fs, file, c.system, &readAs);
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(readAs, c.readAs);
        EXPECT_EQ((*loaded)[0], (CopyRule { c.source, "/b" }));
    }
}

TEST_F(RuleFileTest, HostileFilesNeverYieldMoreThanTenRowsNorFail)
{
    std::string garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 200'000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(state >> 24));
    }
    EXPECT_LE(parseRuleFile(garbage, *sjis).size(), MaxRules);
    const std::string longLine = "\"" + std::string(3 << 20, 'x');
    const std::vector<CopyRule> rows = parse(longLine);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_LT(rows[0].source.size(), MaxRuleFileBytes) << "only the first MiB is read";
    EXPECT_EQ(parse(std::string(100, ',')).size(), MaxRules);
}
