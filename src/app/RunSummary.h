#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace rinvo {

struct CopyReport;

/// The counts of a copy and the time it took, a line each: what the command line prints and
/// what a run's log ends with.
std::vector<std::string> countLines(
    const CopyReport& report, std::chrono::steady_clock::duration elapsed);

/// Each failure the report kept, as "コピー元 /src/x: reason", then how many more it only
/// counted.
std::vector<std::string> failureLines(const CopyReport& report);

} // namespace rinvo
