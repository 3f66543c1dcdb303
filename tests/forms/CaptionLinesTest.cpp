// A button's caption breaks into lines at its blanks, between characters only as a last resort.

#include "forms/CaptionLines.h"

#include <gtest/gtest.h>

using namespace rinvo::forms;

namespace {

// Every character, Japanese or not, ten units wide.
int tenPerCharacter(std::string_view text)
{
    int characters = 0;
    for (char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return 10 * characters;
}

} // namespace

TEST(CaptionLines, BreakAtTheLastBlankRunThatFitsAndBetweenCharactersOnlyWithoutOne)
{
    struct Case
    {
        std::string_view caption;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "設定    ロード", 60, { "設定", "ロード" } },
        { "コピー  開始", 60, { "コピー", "開始" } },
        { "コピー  開始", 69, { "コピー", "開始" } },
        { "コピー  開始", 70, { "コピー  開始" } },
        { "説明", 60, { "説明" } },
        { "a b c", 30, { "a b", "c" } },
        { "a b c d", 30, { "a b", "c d" } },
        // A word wider than the button is broken where it stops fitting.
        { "設定保存", 30, { "設定保", "存" } },
        { "ab cdefgh", 40, { "ab", "cdef", "gh" } },
        { "x", 0, { "x" } },
        { "", 60, { "" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + " in " + std::to_string(c.width));
        EXPECT_EQ(captionLines(c.caption, tenPerCharacter, c.width), c.lines);
    }
}
