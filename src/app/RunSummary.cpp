#include "RunSummary.h"

#include "copy/CopyReport.h"
#include "texts/Catalogue.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace rinvo {

std::vector<std::string> countLines(
    const CopyReport& report, std::chrono::steady_clock::duration elapsed)
{
    std::vector<std::string> lines {
        cli::FilesCopiedLabel + std::to_string(report.filesCopied) + " ("
            + std::to_string(report.bytesCopied) + cli::BytesUnit + ")",
        cli::UpToDateLabel + std::to_string(report.filesUpToDate),
        cli::ExcludedLabel + std::to_string(report.entriesExcluded),
        cli::FailuresLabel + std::to_string(report.failureCount),
    };
    if (report.filesWithoutSpace > 0)
        lines.push_back(cli::WithoutSpaceLabel + std::to_string(report.filesWithoutSpace));
    if (report.entriesNotExamined > 0)
        lines.push_back(cli::NotExaminedLabel + std::to_string(report.entriesNotExamined));
    // The decimal point is the C locale's whatever the user's locale says.
    std::ostringstream seconds;
    seconds.imbue(std::locale::classic());
    seconds << cli::ElapsedLabel << std::fixed << std::setprecision(2)
            << std::chrono::duration<double>(elapsed).count() << cli::SecondsUnit;
    lines.push_back(seconds.str());
    return lines;
}

std::vector<std::string> failureLines(const CopyReport& report)
{
    std::vector<std::string> lines;
    for (const CopyFailure& failure : report.failures)
        lines.push_back(describeFailedPath(failure.path, failure.error.side) + ": "
            + describeError(failure.error));
    if (report.failureCount > report.failures.size())
        lines.push_back(messages::moreFailures(report.failureCount - report.failures.size()));
    return lines;
}

} // namespace rinvo
