#pragma once

// The windows described as data, for every toolkit to draw the same way: each control's name,
// kind, text, place in twips, font, colours and tooltip, in focus order.

#include "copy/CopyOption.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo::forms {

/// Where a control stands, in twips (1/1440 inch) from the client area's top left.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const TwipsRect&) const = default;
};

/// What a control is; each toolkit maps a kind to its own control.
enum class ControlKind {
    Label,
    /// A push button whose caption wraps at a blank when it is wider than the button.
    Button,
    /// A rule box: multi-line, read-only to the keyboard, no scroll bars, clicked to browse.
    RuleBox,
    /// A single-line box, read-only to the keyboard.
    LineBox,
    /// A one-line edit field, which also takes typed text, over a drop-down list.
    DropDownCombo,
    /// A multi-line read-only text that scrolls.
    TextView,
    /// The drives of the system, one chosen.
    DriveList,
    /// A tree of folders, opened a level at a time.
    FolderTree,
    /// The files of a folder.
    FileList,
    /// A one-line box that takes typed text.
    EditBox,
};

enum class FontWeight { Regular, Bold };
enum class FontStyle { Upright, Italic };
enum class CharacterSet { Default, ShiftJis, Western };

struct FontChoice
{
    std::string_view face;
    double points = 9;
    FontWeight weight = FontWeight::Regular;
    FontStyle style = FontStyle::Upright;
    CharacterSet characterSet = CharacterSet::Default;

    bool operator==(const FontChoice&) const = default;
};

/// A colour as red, green and blue.
struct Colour
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Colour&) const = default;
};

struct ControlLayout
{
    /// The control's name; members of a control array end in their index ("SFolder3").
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string text;
    TwipsRect rect;
    /// None: the window's default user-interface font at 9 points.
    std::optional<FontChoice> font;
    /// None: the system's colours.
    std::optional<Colour> textColour;
    std::optional<Colour> fieldColour;
    std::string tooltip;
    /// What a screen reader calls the control.
    std::string accessibleName;
    /// The control array it belongs to ("SFolder", "DFolder", "Label5") and its index there.
    std::string arrayName;
    int index = -1;
};

struct FormLayout
{
    std::string name;
    std::string caption;
    /// The client area, in twips.
    int clientWidth = 0;
    int clientHeight = 0;
    /// In focus order: the first control that takes the focus holds it when the window opens.
    std::vector<ControlLayout> controls;

    /// Returns the named control; the name must be in the table.
    const ControlLayout& control(std::string_view name) const;
};

// The faces the windows name, and the colours the layout fixes.
inline constexpr std::string_view GothicFace = "ＭＳ Ｐゴシック";
inline constexpr std::string_view CenturyFace = "Century";
inline constexpr Colour HeadingColour { 0x33, 0x5B, 0x51 };
inline constexpr Colour ColumnHeadingColour { 0x0E, 0x1F, 0xF1 };
inline constexpr Colour White { 0xFF, 0xFF, 0xFF };
inline constexpr Colour UsageTextColour { 0x00, 0x2D, 0x20 };
inline constexpr Colour UsageFieldColour { 0xFA, 0xFF, 0xEE };

/// The main window, the help window and the folder selection window.
const FormLayout& rinvoMainForm();
const FormLayout& helpForm();
const FormLayout& selectFolderForm();
/// The input box that asks for a line of text; its prompt is set when it asks.
const FormLayout& inputBoxForm();

/// The number of rule rows of the main window.
inline constexpr int RuleRows = 10;

/// Returns the name of a control array's member: "SFolder" and 3 give "SFolder3"; an array
/// name that ends in a digit takes a "_" first ("Label5_3").
std::string memberName(std::string_view arrayName, int index);

/// An entry of the copy-option box: its text and its item data.
struct CopyOptionEntry
{
    std::string_view text;
    CopyOption value;
};

/// The copy-option box's entries, in their order.
const std::vector<CopyOptionEntry>& copyOptionEntries();

/// The help window's text, exactly, with CR LF line ends.
std::string_view usageText();

} // namespace rinvo::forms
