#include "FormLayout.h"

#include "texts/Catalogue.h"

#include <cassert>

namespace rinvo::forms {

namespace {

FontChoice gothic(double points, FontWeight weight = FontWeight::Bold)
{
    return { GothicFace, points, weight, FontStyle::Upright, CharacterSet::ShiftJis };
}

FontChoice century(double points)
{
    return { CenturyFace, points, FontWeight::Bold, FontStyle::Italic, CharacterSet::Western };
}

// A label reads its own text to a screen reader.
ControlLayout label(std::string name, std::string text, TwipsRect rect, FontChoice font,
    std::optional<Colour> colour = std::nullopt)
{
    ControlLayout layout;
    layout.name = std::move(name);
    layout.kind = ControlKind::Label;
    layout.accessibleName = text;
    layout.text = std::move(text);
    layout.rect = rect;
    layout.font = font;
    layout.textColour = colour;
    return layout;
}

ControlLayout button(std::string name, std::string text, TwipsRect rect, FontChoice font)
{
    ControlLayout layout = label(std::move(name), std::move(text), rect, font);
    layout.kind = ControlKind::Button;
    return layout;
}

ControlLayout control(std::string name, ControlKind kind, TwipsRect rect,
    std::string accessibleName, std::string tooltip = {})
{
    ControlLayout layout;
    layout.name = std::move(name);
    layout.kind = kind;
    layout.rect = rect;
    layout.accessibleName = std::move(accessibleName);
    layout.tooltip = std::move(tooltip);
    return layout;
}

ControlLayout member(ControlLayout layout, std::string arrayName, int index)
{
    layout.name = memberName(arrayName, index);
    layout.arrayName = std::move(arrayName);
    layout.index = index;
    return layout;
}

FormLayout makeMainForm()
{
    FormLayout form { "RinvoMain", texts::MainCaption, 10680, 8010, {} };
    auto& c = form.controls;
    c.push_back(
        label("Label4", texts::Title, { 120, 120, 2415, 735 }, century(27.75), HeadingColour));
    c.push_back(
        label("Label7", texts::Version, { 2640, 480, 1335, 375 }, century(15.75), HeadingColour));
    // NOTE: in focus order, not in their row's order: the start button leads the focus chain.
    c.push_back(button("GoCopy", texts::CopyCommand, { 7920, 120, 975, 615 }, gothic(9.75)));
    c.push_back(button("Owari", texts::QuitCommand, { 9120, 120, 975, 615 }, gothic(9.75)));
    c.push_back(button("Setumei", texts::HelpCommand, { 4320, 120, 975, 615 }, gothic(9.75)));
    c.push_back(button("Hozon", texts::SaveCommand, { 5520, 120, 975, 615 }, gothic(9.75)));
    c.push_back(button("Yobikomi", texts::ReloadCommand, { 6720, 120, 975, 615 }, gothic(9.75)));
    c.push_back(label(
        "Label8", texts::CopyOptionHeading, { 4320, 840, 1575, 255 }, gothic(9.75), HeadingColour));
    ControlLayout option = control("AttrStt", ControlKind::DropDownCombo, { 5880, 840, 3855, 300 },
        texts::CopyOptionHeading, texts::CopyOptionTip);
    // NOTE: the layout fixes the field white; its text is fixed black with it, so a dark
    // colour scheme does not draw white on white.
    option.fieldColour = White;
    option.textColour = Colour {};
    c.push_back(option);
    c.push_back(label("Label2", texts::SourceColumnHeading, { 1320, 1320, 2775, 255 }, gothic(9.75),
        ColumnHeadingColour));
    c.push_back(label("Label3", texts::DestinationColumnHeading, { 6120, 1320, 2895, 255 },
        gothic(11.25), ColumnHeadingColour));
    for (int i = 0; i < RuleRows; ++i) {
        const bool last = i == RuleRows - 1;
        const std::string number = std::to_string(i + 1);
        c.push_back(
            member(label("", number, { last ? 0 : 120, 1680 + 600 * i, last ? 375 : 255, 255 },
                       gothic(14.25)),
                "Label5", i));
        c.push_back(member(control("", ControlKind::RuleBox, { 360, 1560 + 600 * i, 5055, 495 },
                               texts::ruleBoxName(true, i + 1), texts::SourceBoxTip),
            "SFolder", i));
        c.push_back(member(control("", ControlKind::RuleBox, { 5400, 1560 + 600 * i, 5055, 495 },
                               texts::ruleBoxName(false, i + 1), texts::DestinationBoxTip),
            "DFolder", i));
    }
    c.push_back(label("Label6", texts::CurrentFileHeading, { 1680, 7560, 1695, 255 }, gothic(9)));
    c.push_back(control("DspFileName", ControlKind::LineBox, { 3360, 7560, 4815, 270 },
        texts::CurrentFileName, texts::CurrentFileTip));
    return form;
}

FormLayout makeHelpForm()
{
    FormLayout form { "HelpForm", texts::HelpCaption, 7725, 8535, {} };
    auto& c = form.controls;
    c.push_back(button("OkBtn", texts::CloseCommand, { 5640, 120, 1215, 495 }, gothic(11.25)));
    c.push_back(
        label("Lvl1", texts::HelpHeading, { 360, 240, 2535, 375 }, gothic(14.25), HeadingColour));
    ControlLayout text
        = control("Text1", ControlKind::TextView, { 120, 720, 7455, 7695 }, texts::HelpHeading);
    text.text = std::string(usageText());
    text.font = gothic(9.75, FontWeight::Regular);
    text.textColour = UsageTextColour;
    text.fieldColour = UsageFieldColour;
    c.push_back(text);
    return form;
}

FormLayout makeSelectFolderForm()
{
    FormLayout form { "SelectFolderForm", texts::SelectFolderCaption, 9195, 7380, {} };
    auto& c = form.controls;
    c.push_back(
        control("Drive1", ControlKind::DriveList, { 120, 720, 2295, 300 }, texts::DrivesName));
    ControlLayout tree = control(
        "TreeView1", ControlKind::FolderTree, { 120, 1080, 5415, 6135 }, texts::FolderListHeading);
    tree.font = gothic(9, FontWeight::Regular);
    c.push_back(tree);
    c.push_back(button("KETTEI", texts::AcceptCommand, { 6240, 120, 1215, 495 }, gothic(9)));
    c.push_back(control(
        "File1", ControlKind::FileList, { 5760, 1080, 3255, 6210 }, texts::FileListHeading));
    c.push_back(label("Label1", texts::FolderListHeading, { 3960, 840, 1455, 255 }, gothic(9.75)));
    c.push_back(label("Label2", texts::FileListHeading, { 5880, 840, 3135, 255 }, gothic(9.75)));
    c.push_back(button("YAMERU", texts::CancelCommand, { 7680, 120, 1215, 495 }, gothic(9)));
    // NOTE: the heading's font is the one its load step gives it, 16 points for the 15.75 it is
    // drawn with before; no renderer shows it before the load.
    c.push_back(label(
        "MIDASHI", texts::SelectFolderCaption, { 120, 120, 2415, 375 }, gothic(16), HeadingColour));
    c.push_back(button("Sinki", texts::NewFolderCommand, { 2640, 120, 1455, 495 }, gothic(9.75)));
    return form;
}

FormLayout makeInputBoxForm()
{
    FormLayout form { "InputBox", texts::MessageTitle, 5400, 1950, {} };
    auto& c = form.controls;
    // The prompt comes right before the line, which takes the prompt as its name.
    c.push_back(control("Prompt", ControlKind::Label, { 150, 150, 3750, 900 }, {}));
    c.push_back(control("Answer", ControlKind::EditBox, { 150, 1425, 5100, 360 }, {}));
    c.push_back(button("OkBtn", texts::OkCommand, { 4050, 150, 1200, 390 }, gothic(9)));
    c.push_back(button("CancelBtn", texts::CancelCommand, { 4050, 630, 1200, 390 }, gothic(9)));
    return form;
}

} // namespace

std::string memberName(std::string_view arrayName, int index)
{
    std::string name(arrayName);
    if (!name.empty() && name.back() >= '0' && name.back() <= '9')
        name += '_';
    return name + std::to_string(index);
}

const std::vector<CopyOptionEntry>& copyOptionEntries()
{
    static const std::vector<CopyOptionEntry> Entries = {
        { texts::SkipHiddenAndSystemEntry, CopyOption::SkipHiddenAndSystem },
        { texts::SkipSystemEntry, CopyOption::SkipSystem },
        { texts::CopyEverythingEntry, CopyOption::CopyEverything },
    };
    return Entries;
}

const ControlLayout& FormLayout::control(std::string_view wanted) const
{
    for (const ControlLayout& layout : controls) {
        if (layout.name == wanted)
            return layout;
    }
    assert(false && "no such control in the form's table");
    return controls.front();
}

const FormLayout& rinvoMainForm()
{
    static const FormLayout form = makeMainForm();
    return form;
}

const FormLayout& helpForm()
{
    static const FormLayout form = makeHelpForm();
    return form;
}

const FormLayout& selectFolderForm()
{
    static const FormLayout form = makeSelectFolderForm();
    return form;
}

const FormLayout& inputBoxForm()
{
    static const FormLayout form = makeInputBoxForm();
    return form;
}

} // namespace rinvo::forms
