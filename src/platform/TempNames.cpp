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

std::string makeTempName(const TempWriter& writer, std::uint64_t counter)
{
    char started[17];
    const auto end = std::to_chars(started, started + 16, writer.started, 16).ptr;
    std::string name(Prefix);
    name += std::to_string(writer.processId);
    name += '-';
    name.append(started, end);
    name += '-';
    name += std::to_string(counter);
    name += Suffix;
    return name;
}

std::optional<TempWriter> parseTempName(std::string_view name)
{
    if (!name.starts_with(Prefix) || !name.ends_with(Suffix))
        return std::nullopt;
    name.remove_prefix(Prefix.size());
    name.remove_suffix(Suffix.size());
    // "PID-STARTED-COUNTER", or "PID-COUNTER" as earlier versions wrote it.
    const std::size_t first = name.find('-');
    const std::size_t last = name.rfind('-');
    if (first == std::string_view::npos || !isDigits(name.substr(last + 1)))
        return std::nullopt;
    const std::string_view pid = name.substr(0, first);
    TempWriter writer;
    if (!isDigits(pid)
        || std::from_chars(pid.data(), pid.data() + pid.size(), writer.processId).ec != std::errc())
        return std::nullopt;
    if (first != last) {
        const std::string_view started = name.substr(first + 1, last - first - 1);
        if (started.empty() || started.size() > 16
            || std::from_chars(started.data(), started.data() + started.size(), writer.started, 16)
                    .ptr
                != started.data() + started.size())
            return std::nullopt;
    }
    return writer;
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
