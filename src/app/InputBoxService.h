#pragma once

#include <string>
#include <string_view>

namespace rinvo {

/// Asks the user for one line of text in a modal box titled with the program's title.
class InputBoxService
{
public:
    virtual ~InputBoxService() = default;

    /// Returns the typed text, or empty text when the user cancels.
    virtual std::string ask(std::string_view prompt) = 0;
};

} // namespace rinvo
