#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo::forms {

/// How wide a piece of caption is drawn, in the renderer's own units.
using MeasureText = std::function<int(std::string_view)>;

/// Splits a button's caption (UTF-8) into the lines it is drawn with in a button 'width' wide.
/// A caption that fits is one line. Otherwise each line breaks at the last run of blanks that
/// lets it fit, dropping the blanks there; only a line that no blank lets fit breaks between
/// characters, after as many as fit (one at least).
std::vector<std::string> captionLines(
    std::string_view caption, const MeasureText& measure, int width);

} // namespace rinvo::forms
