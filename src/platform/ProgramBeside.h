#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Runs the program of that name in this program's folder in this program's place, with
/// these arguments after its own path: this process becomes it (POSIX; Windows has no use for
/// it and always fails). Returns only when it could not be started, with the reason (in the
/// user's language where the system words it).
std::string runProgramBeside(std::string_view name, const std::vector<std::string>& args);

} // namespace rinvo
