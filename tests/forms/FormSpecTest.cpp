// The windows' tables keep the rules of their layout, checked without any toolkit.

#include "forms/FormSpec.h"

#include <gtest/gtest.h>

#include <set>

using namespace rinvo;
using namespace rinvo::forms;

namespace {

bool takesFocus(const ControlSpec& spec)
{
    return spec.kind != ControlKind::Label;
}

} // namespace

TEST(FormSpec, EveryControlHasItsOwnNameAndStandsInsideTheClientArea)
{
    for (const FormSpec* form : { &rinvoMainForm(), &helpForm(), &selectFolderForm() }) {
        SCOPED_TRACE(form->name);
        std::set<std::string> names;
        for (const ControlSpec& spec : form->controls) {
            EXPECT_TRUE(names.insert(spec.name).second) << spec.name;
            EXPECT_GE(spec.rect.left, 0) << spec.name;
            EXPECT_LE(spec.rect.left + spec.rect.width, form->clientWidth) << spec.name;
            EXPECT_LE(spec.rect.top + spec.rect.height, form->clientHeight) << spec.name;
            EXPECT_FALSE(spec.accessibleName.empty()) << spec.name;
        }
    }
}

TEST(FormSpec, MainWindowCommandsStandInOneRowWithTheStartButtonFirstInFocus)
{
    const FormSpec& form = rinvoMainForm();
    const char* const leftToRight[] = { "Setumei", "Hozon", "Yobikomi", "GoCopy", "Owari" };
    for (int i = 0; i < 5; ++i) {
        const ControlSpec& command = form.control(leftToRight[i]);
        EXPECT_EQ(command.rect, (TwipsRect { 4320 + 1200 * i, 120, 975, 615 })) << command.name;
        EXPECT_EQ(command.kind, ControlKind::Button);
    }
    const ControlSpec* first = nullptr;
    for (const ControlSpec& spec : form.controls) {
        if (!first && takesFocus(spec))
            first = &spec;
    }
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "GoCopy");
}

TEST(FormSpec, RuleRowsStand600TwipsApartWithTheirArraysIndexed)
{
    const FormSpec& form = rinvoMainForm();
    for (int i = 0; i < RuleRows; ++i) {
        const ControlSpec& source = form.control(memberName("SFolder", i));
        const ControlSpec& destination = form.control(memberName("DFolder", i));
        const ControlSpec& number = form.control(memberName("Label5", i));
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

TEST(FormSpec, CopyOptionEntriesCarryTheValuesOneToThree)
{
    const auto& entries = copyOptionEntries();
    ASSERT_EQ(entries.size(), 3u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(static_cast<int>(entries[i].value), static_cast<int>(i) + 1);
    EXPECT_EQ(entries[1].value, DefaultCopyOption);
}
