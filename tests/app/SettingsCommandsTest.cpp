#include "app/SettingsCommands.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/TextCodec.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

class SettingsCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override { fs.addFile("/opt/rinvo/copyrule.txt", "\"/a\",\"/b\"\r\n", {}); }

    void TearDown() override { EXPECT_EQ(messages.surprises(), ""); }

    MemoryFileSystem fs;
    ScriptedMessageBox messages;
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    SettingsCommands commands { fs, messages, *codec, "/opt/rinvo/copyrule.txt" };
    RuleWindowState state;
    RinvoModule module;
    const std::string failure
        = std::string(messages::LoadFailed) + "\n/opt/rinvo/copyrule.txt\nデバイスが使用できません";
};

} // namespace

TEST_F(SettingsCommandsTest, StartUpReadsTheFileAndResetsTheOption)
{
    module.copyOption = CopyOption::CopyEverything;
    state.RulesChanged = true;
    commands.Form_Load(state, module);
    EXPECT_EQ(state.rules[0], (CopyRule { "/a", "/b" }));
    EXPECT_FALSE(state.RulesChanged);
    EXPECT_EQ(module.copyOption, CopyOption::SkipSystem);
}

TEST_F(SettingsCommandsTest, AnUnreadableFileAtStartUpIsToldAndLeavesTheRowsEmpty)
{
    fs.injectFault("/opt/rinvo/copyrule.txt", MemoryFileSystem::Operation::ReadFile,
        FsErrorKind::DeviceUnavailable);
    messages.expect(failure, MessageButtons::Ok, MessageAnswer::Ok);
    commands.Form_Load(state, module);
    EXPECT_EQ(state.rules, CopyRuleTable {});
}

TEST_F(SettingsCommandsTest, AnUnreadableFileOnReloadKeepsTheRowsAndRulesChanged)
{
    state.rules[0] = { "/edited", "/rows" };
    state.RulesChanged = true;
    fs.injectFault("/opt/rinvo/copyrule.txt", MemoryFileSystem::Operation::ReadFile,
        FsErrorKind::DeviceUnavailable);
    messages.expect(messages::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    messages.expect(failure, MessageButtons::Ok, MessageAnswer::Ok);
    commands.Yobikomi_Click(state);
    EXPECT_EQ(state.rules[0], (CopyRule { "/edited", "/rows" }));
    EXPECT_TRUE(state.RulesChanged);
}

TEST_F(SettingsCommandsTest, AFileInAnotherCharacterSetIsReadAsItIsAndToldOnce)
{
    // データ in code page 932, on this UTF-8 system; a file valid in no character set after it.
    struct Case
    {
        const char* what;
        std::string bytes;
        std::optional<std::string> told;
        std::string source;
    };
    const Case cases[] = {
        { "code page 932", "\"/\x83\x66\x81\x5B\x83\x5E\",\"/b\"\r\n",
            messages::ruleFileConverted("Shift-JIS (CP932)", "UTF-8"), "/データ" },
        { "valid in none", "\"/\x83 x\",\"/b\"\r\n", std::string(messages::RuleFileCharsetUnknown),
            codec->decode("/\x83 x") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsCommands fresh { fs, messages, *codec, "/opt/rinvo/copyrule.txt" };
        fs.addFile("/opt/rinvo/copyrule.txt", c.bytes, {});
        messages.expect(*c.told, MessageButtons::Ok, MessageAnswer::Ok);
        fresh.Form_Load(state, module);
        EXPECT_EQ(state.rules[0], (CopyRule { c.source, "/b" }));
        fresh.Yobikomi_Click(state);
        EXPECT_EQ(messages.surprises(), "") << "told at start-up, not again on reload";
    }
}
