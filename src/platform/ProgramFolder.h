#pragma once

#include <string>

namespace rinvo {

/// Returns the folder that holds the program's executable, without a trailing separator except
/// for a root folder ("/" on POSIX, "C:\" on Windows); empty when the system does not tell.
std::string programFolder();

} // namespace rinvo
