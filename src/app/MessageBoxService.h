#pragma once

#include <string_view>

namespace rinvo {

/// The three button sets a message can have.
enum class MessageButtons {
    Ok,
    /// Yes and No, Yes the default.
    YesNoDefaultYes,
    /// Yes and No, No the default: where Yes would discard or overwrite the user's edits.
    YesNoDefaultNo,
};

/// The button the user chose.
enum class MessageAnswer {
    Ok,
    Yes,
    No,
};

/// Tells the user something in a modal box titled with the program's title, without an icon.
/// Every message of the program goes through here, so tests can script the answers.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;

    /// Shows the text (UTF-8) and returns the chosen button once the box is closed.
    virtual MessageAnswer show(std::string_view text, MessageButtons buttons) = 0;
};

} // namespace rinvo
