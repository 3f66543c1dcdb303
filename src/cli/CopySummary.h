#pragma once

#include <chrono>
#include <iosfwd>

namespace rinvo {

struct CopyReport;

/// Writes the counts and the elapsed time to 'out', and each failure with its path and reason
/// to 'errors', a line each beginning "rinvo: ".
void printCopySummary(std::ostream& out, std::ostream& errors, const CopyReport& report,
    std::chrono::steady_clock::duration elapsed);

} // namespace rinvo
