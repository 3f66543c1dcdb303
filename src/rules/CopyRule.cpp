#include "CopyRule.h"

namespace rinvo {

std::string trimSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool isCompleteAfterTrimming(const CopyRule& rule)
{
    return !trimSpaces(rule.source).empty() && !trimSpaces(rule.destination).empty();
}

bool isCompleteAsTyped(const CopyRule& rule)
{
    return !rule.source.empty() && !rule.destination.empty();
}

} // namespace rinvo
