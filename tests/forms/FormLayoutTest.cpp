// The windows' tables keep the rules of their layout, checked without any toolkit.

#include "forms/FormLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace rinvo;
using namespace rinvo::forms;

namespace {

bool takesFocus(const ControlLayout& layout)
{
    return layout.kind != ControlKind::Label;
}

} // namespace

TEST(FormLayout, EveryControlHasItsOwnNameAndStandsInsideTheClientArea)
{
    for (const FormLayout* form : { &rinvoMainForm(), &helpForm(), &selectFolderForm() }) {
        SCOPED_TRACE(form->name);
        std::set<std::string> names;
        for (const ControlLayout& layout : form->controls) {
            EXPECT_TRUE(names.insert(layout.name).second) << layout.name;
            EXPECT_GE(layout.rect.left, 0) << layout.name;
            EXPECT_LE(layout.rect.left + layout.rect.width, form->clientWidth) << layout.name;
            EXPECT_LE(layout.rect.top + layout.rect.height, form->clientHeight) << layout.name;
            EXPECT_FALSE(layout.accessibleName.empty()) << layout.name;
        }
    }
}

TEST(FormLayout, MainWindowCommandsStandInOneRowWithTheStartButtonFirstInFocus)
{
    const FormLayout& form = rinvoMainForm();
    const char* const leftToRight[] = { "Setumei", "Hozon", "Yobikomi", "GoCopy", "Owari" };
    for (int i = 0; i < 5; ++i) {
        const ControlLayout& command = form.control(leftToRight[i]);
        EXPECT_EQ(command.rect, (TwipsRect { 4320 + 1200 * i, 120, 975, 615 })) << command.name;
        EXPECT_EQ(command.kind, ControlKind::Button);
    }
    const ControlLayout* first = nullptr;
    for (const ControlLayout& layout : form.controls) {
        if (!first && takesFocus(layout))
            first = &layout;
    }
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "GoCopy");
}

TEST(FormLayout, RuleRowsStand600TwipsApartWithTheirArraysIndexed)
{
    const FormLayout& form = rinvoMainForm();
    for (int i = 0; i < RuleRows; ++i) {
        const ControlLayout& source = form.control(memberName("SFolder", i));
        const ControlLayout& destination = form.control(memberName("DFolder", i));
        const ControlLayout& number = form.control(memberName("Label5", i));
        EXPECT_EQ(source.rect, (TwipsRect { 360, 1560 + 600 * i, 5055, 495 }));
        EXPECT_EQ(destination.rect, (TwipsRect { 5400, 1560 + 600 * i, 5055, 495 }));
        EXPECT_EQ(number.text, std::to_string(i + 1));
        EXPECT_EQ(number.rect.top, 1680 + 600 * i);
        EXPECT_EQ(source.index, i);
        EXPECT_NE(source.tooltip, destination.tooltip) << "できます and 出来ます";
    }
    EXPECT_EQ(form.control("Label5_9").rect.left, 0);
    EXPECT_EQ(form.control("Label5_9").rect.width, 375);
    EXPECT_EQ(form.control("SFolder9").rect.top, 6960);
}

TEST(FormLayout, CopyOptionEntriesCarryTheValuesOneToThree)
{
    const auto& entries = copyOptionEntries();
    ASSERT_EQ(entries.size(), 3u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(static_cast<int>(entries[i].value), static_cast<int>(i) + 1);
    EXPECT_EQ(entries[1].value, DefaultCopyOption);
}
