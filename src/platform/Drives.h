#pragma once

#include <string>
#include <vector>

namespace rinvo {

/// Returns the drives a folder can be chosen on: on Windows the drive designators ("c:"), on
/// POSIX the mount points of real file systems, the root "/" first. Pseudo file systems
/// (/proc, /sys, /dev, /run and the like) are left out.
std::vector<std::string> listDrives();

} // namespace rinvo
