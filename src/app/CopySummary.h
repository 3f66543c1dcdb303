#pragma once

#include <chrono>
#include <iosfwd>

namespace rinvo {

struct CopyReport;

/// Writes the counts, the failures with their paths and reasons, and the elapsed time.
void printCopySummary(
    std::ostream& out, const CopyReport& report, std::chrono::steady_clock::duration elapsed);

} // namespace rinvo
