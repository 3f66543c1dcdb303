#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rinvo {

/// Returns the name of a temporary file that a copy writes before renaming it into place.
/// The name carries the writing process's id, so a later run can tell a leftover from a copy
/// still under way.
std::string makeTempName(std::uint64_t processId, std::uint64_t counter);

/// Returns a temporary name with its letters in upper case: the other spelling under which a
/// case-folding folder finds the same file.
std::string upperCaseSpelling(std::string_view tempName);

/// Returns the process id of a name made by makeTempName, or nothing for any other name.
std::optional<std::uint64_t> parseTempName(std::string_view name);

} // namespace rinvo
