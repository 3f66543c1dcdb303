#include "fakes/ScriptedMessageBox.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;

TEST(ScriptedMessageBox, AnswersFromItsScriptAndRecordsEveryMessage)
{
    ScriptedMessageBox box;
    box.expect("保存しますか？", MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    box.expect("完了", MessageButtons::Ok, MessageAnswer::Ok);
    EXPECT_EQ(box.show("保存しますか？", MessageButtons::YesNoDefaultNo), MessageAnswer::Yes);
    EXPECT_EQ(box.show("完了", MessageButtons::Ok), MessageAnswer::Ok);
    EXPECT_TRUE(box.problems().empty());
    EXPECT_EQ(box.unusedAnswers(), 0u);
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_EQ(box.shown()[1].text, "完了");
    EXPECT_EQ(box.surprises(), "");
}

TEST(ScriptedMessageBox, NotesEverySurprise)
{
    ScriptedMessageBox box;
    box.expect("A", MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
    box.expect("unused", MessageButtons::Ok, MessageAnswer::Ok);
    box.show("B", MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(box.problems().size(), 2u) << "a wrong text and wrong buttons";
    box.show("C", MessageButtons::Ok);
    box.show("D", MessageButtons::YesNoDefaultYes);
    EXPECT_EQ(box.problems().size(), 4u) << "the script was wrong once more, then ran out";
    EXPECT_EQ(box.unusedAnswers(), 0u);
    EXPECT_NE(box.surprises().find("expected \"unused\""), std::string::npos) << box.surprises();
}
