#include "CopySummary.h"
#include "texts/Catalogue.h"

#include "copy/CopyReport.h"

#include <iomanip>
#include <ostream>

namespace rinvo {

void printCopySummary(
    std::ostream& out, const CopyReport& report, std::chrono::steady_clock::duration elapsed)
{
    const double seconds = std::chrono::duration<double>(elapsed).count();
    out << "コピーしたファイル: " << report.filesCopied << " (" << report.bytesCopied
        << " バイト)\n"
        << "最新のため省いたファイル: " << report.filesUpToDate << "\n"
        << "対象外の項目: " << report.entriesExcluded << "\n"
        << "失敗: " << report.failureCount << "\n";
    for (const CopyFailure& failure : report.failures)
        out << "  " << describeFailedPath(failure.path, failure.error.side) << ": "
            << describeError(failure.error) << "\n";
    if (report.failureCount > report.failures.size())
        out << "  " << messages::moreFailures(report.failureCount - report.failures.size()) << "\n";
    if (report.entriesNotExamined > 0)
        out << "コピー先が使えなくなったため調べなかった項目: " << report.entriesNotExamined
            << "\n";
    out << "所要時間: " << std::fixed << std::setprecision(2) << seconds << " 秒\n";
}

} // namespace rinvo
