#pragma once

#include "PathRules.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Returns the drive a path lies on, as the copy run tests it before it copies: none for a
/// network path ("\\server"); the first two characters, as typed, for a Windows path or a
/// relative one; for an absolute POSIX path the folder a drive is mounted on where the path lies
/// below one that may be absent: a removable drive's folder (/media/USER/NAME,
/// /run/media/USER/NAME, /mnt/NAME) or, before those, the nearest mount point the system is
/// configured with; none elsewhere.
std::optional<std::string> driveOfPath(
    std::string_view path, PathStyle style, const std::vector<std::string>& configuredMounts);

/// Returns the mount points a file-system table (/etc/fstab) configures, the root, swap and
/// pseudo file systems left out.
std::vector<std::string> mountPointsOfTable(std::string_view table);

} // namespace rinvo
