#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Runs the program of that name in this program's folder in this program's place, with
/// these arguments after its own path: on POSIX this process becomes it; on Windows it runs to
/// its end. Returns its exit status, or nothing when it could not be started, with the reason
/// in 'why' (in the user's language where the system words it).
std::optional<int> runProgramBeside(
    std::string_view name, const std::vector<std::string>& args, std::string& why);

} // namespace rinvo
