#pragma once

#include <ctime>

namespace rinvo {

/// Returns the moment in the user's time zone; safe to call from any thread.
std::tm localTime(std::time_t moment);

} // namespace rinvo
