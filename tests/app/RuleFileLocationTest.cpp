// Where the rule file lives: beside the program wherever that works, else with the user's
// settings.

#include "app/RuleFileLocation.h"
#include "app/FolderPath.h"
#include "app/SettingsCommands.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;

TEST(RuleFileLocation, ThePlaceBesideTheProgramWinsWhereverItWorks)
{
    const std::string beside = "/opt/rinvo/copyrule.txt";
    const std::string settings = "/home/u/.config/rinvo/copyrule.txt";
    const struct
    {
        const char* what;
        bool exists;
        bool usable;
        std::string inSettings;
        std::string chosen;
    } cases[] = {
        { "an unpacked folder the user can write", false, true, settings, beside },
        { "an existing file beside an installed program", true, false, settings, beside },
        { "an installed program without a file beside it", false, false, settings, settings },
        { "no settings folder known", false, false, "", beside },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseRuleFile({ beside, c.inSettings, c.exists, c.usable }), c.chosen) << c.what;
    }
}

TEST(RuleFileLocation, SavingMakesTheSettingsFolderFirst)
{
    MemoryFileSystem fs;
    fs.addFolder("/home/u");
    ScriptedMessageBox messages;
    auto codec = createCodec("UTF-8");
    SettingsCommands commands(fs, messages, *codec, "/home/u/.config/rinvo/copyrule.txt");
    RuleWindowState state;
    state.rules[0] = { "/a", "/b" };
    EXPECT_TRUE(commands.saveRules(state));
    EXPECT_EQ(fs.fileData("/home/u/.config/rinvo/copyrule.txt"), "\"/a\",\"/b\"\r\n");
    EXPECT_EQ(messages.surprises(), "");

    // Every missing level is made, and a made one is no failure.
    EXPECT_FALSE(createFolderPath(fs, "/home/u/.config/rinvo"));
    EXPECT_FALSE(createFolderPath(fs, "/x/y/z"));
    EXPECT_TRUE(fs.folderExists("/x/y/z"));
    fs.addFile("/f", "", {});
    EXPECT_TRUE(createFolderPath(fs, "/f/sub"));
}
