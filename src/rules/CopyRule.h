#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace rinvo {

/// How many rule rows the window holds.
inline constexpr std::size_t MaxRules = 10;

/// One rule row: a source path and a destination path; an empty text means that side is unset.
struct CopyRule
{
    std::string source;
    std::string destination;

    bool operator==(const CopyRule&) const = default;
};

/// The ten rule rows, index 0 to 9 (shown as rows 1 to 10).
using CopyRuleTable = std::array<CopyRule, MaxRules>;

/// Which side of a row: the source box or the destination box.
enum class RuleSide { Source, Destination };

/// Returns the text without leading and trailing ASCII spaces.
std::string trimSpaces(const std::string& text);

/// Tells whether both texts hold something other than spaces: such a row is stored and quits
/// without a question.
bool isCompleteAfterTrimming(const CopyRule& rule);

/// Tells whether both texts are non-empty as they stand (a text of spaces counts).
bool isCompleteAsTyped(const CopyRule& rule);

} // namespace rinvo
