#include "CaptionLines.h"

namespace rinvo::forms {

namespace {

bool isBlank(char c)
{
    return c == ' ';
}

// The length of the UTF-8 character that starts at 'at'.
std::size_t characterLength(std::string_view text, std::size_t at)
{
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end - at;
}

// The length of the longest run of whole characters at the start of 'text' that fits, at
// least one character.
std::size_t fittingCharacters(std::string_view text, const MeasureText& measure, int width)
{
    std::size_t fits = characterLength(text, 0);
    for (std::size_t end = fits; end < text.size();) {
        end += characterLength(text, end);
        if (measure(text.substr(0, end)) > width)
            break;
        fits = end;
    }
    return fits;
}

// Where the first line of 'text' ends, and where the next one starts.
std::pair<std::size_t, std::size_t> firstBreak(
    std::string_view text, const MeasureText& measure, int width)
{
    std::pair<std::size_t, std::size_t> found { 0, 0 };
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!isBlank(text[at]) || (at > 0 && isBlank(text[at - 1])))
            continue;
        if (measure(text.substr(0, at)) > width)
            break;
        std::size_t next = at;
        while (next < text.size() && isBlank(text[next]))
            ++next;
        found = { at, next };
    }
    if (found.first > 0)
        return found;
    const std::size_t fits = fittingCharacters(text, measure, width);
    return { fits, fits };
}

} // namespace

std::vector<std::string> captionLines(
    std::string_view caption, const MeasureText& measure, int width)
{
    std::vector<std::string> lines;
    std::string_view rest = caption;
    while (!rest.empty() && measure(rest) > width) {
        const auto [end, next] = firstBreak(rest, measure, width);
        lines.emplace_back(rest.substr(0, end));
        rest.remove_prefix(next);
    }
    if (!rest.empty() || lines.empty())
        lines.emplace_back(rest);
    return lines;
}

} // namespace rinvo::forms
