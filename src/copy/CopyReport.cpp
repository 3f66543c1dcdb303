#include "CopyReport.h"

namespace rinvo {

void CopyReport::addFailure(std::string path, FsError error)
{
    CopyStatusFlags
        |= error.kind == FsErrorKind::PermissionDenied ? PermissionDeniedBit : CopyFailedBit;
    ++failureCount;
    if (failures.size() < MaxKeptFailures)
        failures.push_back({ std::move(path), std::move(error) });
}

void CopyReport::merge(const CopyReport& other)
{
    CopyStatusFlags |= other.CopyStatusFlags;
    filesCopied += other.filesCopied;
    filesUpToDate += other.filesUpToDate;
    entriesExcluded += other.entriesExcluded;
    bytesCopied += other.bytesCopied;
    failureCount += other.failureCount;
    entriesNotExamined += other.entriesNotExamined;
    filesWithoutSpace += other.filesWithoutSpace;
    stopped = stopped || other.stopped;
    for (const CopyFailure& failure : other.failures) {
        if (failures.size() >= MaxKeptFailures)
            break;
        failures.push_back(failure);
    }
}

} // namespace rinvo
