#include "CopySummary.h"
#include "texts/Catalogue.h"

#include "copy/CopyReport.h"

#include <iomanip>
#include <ostream>

namespace rinvo {

void printCopySummary(std::ostream& out, std::ostream& errors, const CopyReport& report,
    std::chrono::steady_clock::duration elapsed)
{
    const double seconds = std::chrono::duration<double>(elapsed).count();
    out << cli::FilesCopiedLabel << report.filesCopied << " (" << report.bytesCopied
        << cli::BytesUnit << ")\n"
        << cli::UpToDateLabel << report.filesUpToDate << "\n"
        << cli::ExcludedLabel << report.entriesExcluded << "\n"
        << cli::FailuresLabel << report.failureCount << "\n";
    for (const CopyFailure& failure : report.failures)
        errors << cli::ErrorPrefix << describeFailedPath(failure.path, failure.error.side) << ": "
               << describeError(failure.error) << "\n";
    if (report.failureCount > report.failures.size())
        errors << cli::ErrorPrefix
               << messages::moreFailures(report.failureCount - report.failures.size()) << "\n";
    if (report.filesWithoutSpace > 0)
        out << cli::WithoutSpaceLabel << report.filesWithoutSpace << "\n";
    if (report.entriesNotExamined > 0)
        out << cli::NotExaminedLabel << report.entriesNotExamined << "\n";
    out << cli::ElapsedLabel << std::fixed << std::setprecision(2) << seconds << cli::SecondsUnit
        << "\n";
}

} // namespace rinvo
