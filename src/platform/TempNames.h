#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rinvo {

/// Who writes a temporary file: the process, by its number and by when it started, so that a
/// later run can tell a leftover from a copy still under way even after a reboot or once the
/// number belongs to another program.
struct TempWriter
{
    std::uint64_t processId = 0;
    /// The process's start (see processStart); 0 in the names of earlier versions, which
    /// carried the number alone.
    std::uint64_t started = 0;

    bool operator==(const TempWriter&) const = default;
};

/// Returns the name of a temporary file that a copy writes before renaming it into place.
std::string makeTempName(const TempWriter& writer, std::uint64_t counter);

/// Returns a temporary name with its letters in upper case: the other spelling under which a
/// case-folding folder finds the same file.
std::string upperCaseSpelling(std::string_view tempName);

/// Returns the writer of a name made by makeTempName (or by an earlier version), or nothing for
/// any other name.
std::optional<TempWriter> parseTempName(std::string_view name);

} // namespace rinvo
