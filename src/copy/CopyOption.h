#pragma once

#include <cstdint>

namespace rinvo {

/// Which entries a copy skips; the item data of the copy-option box. Any other value skips
/// nothing, like CopyEverything.
enum class CopyOption : std::int16_t {
    SkipHiddenAndSystem = 1,
    SkipSystem = 2,
    CopyEverything = 3,
};

/// The option every start begins with.
inline constexpr CopyOption DefaultCopyOption = CopyOption::SkipSystem;

/// Tells whether the option excludes an entry with these attribute bits.
bool isExcludedByOption(std::uint32_t attributes, CopyOption option);

} // namespace rinvo
