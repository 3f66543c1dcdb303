#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace rinvo;

TEST(TextCodec, ShiftJisRoundTripsJapaneseByteForByte)
{
    auto codec = createCodec("CP932");
    ASSERT_TRUE(codec);
    const std::string text = "コピー元フォルダ 表示 ｶﾅ";
    const auto bytes = codec->encode(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 2), "\x83\x52") << "コ in Shift-JIS";
    EXPECT_EQ(codec->decode(*bytes), text);
}

TEST(TextCodec, UndecodableBytesBecomeReplacementCharacters)
{
    auto codec = createCodec("CP932");
    ASSERT_TRUE(codec);
    // 0x81 begins a two-byte character; a blank cannot end one.
    EXPECT_EQ(codec->decode(std::string("a\x81 b")), "a\xEF\xBF\xBD b");
    EXPECT_EQ(codec->decode(std::string("c\x83")), "c\xEF\xBF\xBD")
        << "a character cut off at the end";
    auto utf8 = createCodec("UTF-8");
    EXPECT_EQ(utf8->decode(std::string("\xC3")), "\xEF\xBF\xBD");
}

TEST(TextCodec, CharactersTheCodePageLacksCannotBeEncoded)
{
    EXPECT_FALSE(createCodec("CP932")->encode("😀"));
    EXPECT_FALSE(createCodec("ISO-8859-1")->encode("日本"));
    EXPECT_TRUE(createCodec("UTF-8")->encode("😀"));
}

TEST(TextCodec, LocaleNamesMapToTheCodePagesTheProgramUses)
{
    EXPECT_EQ(createCodec("ANSI_X3.4-1968")->name(), "UTF-8") << "the plain C locale";
    EXPECT_EQ(createCodec("SHIFT_JIS")->name(), "CP932");
    EXPECT_EQ(createCodec("no-such-charset"), nullptr);
    EXPECT_NE(createSystemCodec(), nullptr);
}
