#include "TempNames.h"

#include <charconv>

namespace rinvo {

namespace {

constexpr std::string_view Prefix = ".~rinvo-";
constexpr std::string_view Suffix = ".tmp";

bool isDigits(std::string_view text)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

std::string makeTempName(std::uint64_t processId, std::uint64_t counter)
{
    std::string name(Prefix);
    name += std::to_string(processId);
    name += '-';
    name += std::to_string(counter);
    name += Suffix;
    return name;
}

std::optional<std::uint64_t> parseTempName(std::string_view name)
{
    if (!name.starts_with(Prefix) || !name.ends_with(Suffix))
        return std::nullopt;
    name.remove_prefix(Prefix.size());
    name.remove_suffix(Suffix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const std::string_view pid = name.substr(0, dash);
    if (!isDigits(pid) || !isDigits(name.substr(dash + 1)))
        return std::nullopt;
    std::uint64_t value = 0;
    if (std::from_chars(pid.data(), pid.data() + pid.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

std::string upperCaseSpelling(std::string_view tempName)
{
    std::string upper(tempName);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

} // namespace rinvo
