#include "CopyReport.h"

namespace rinvo {

std::string describeFailedPath(const CopyFailure& failure)
{
    switch (failure.error.side) {
    case FailedSide::Source:
        return "コピー元 " + failure.path;
    case FailedSide::Destination:
        return "コピー先 " + failure.path;
    case FailedSide::Unknown:
        break;
    }
    return failure.path;
}

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
    for (const CopyFailure& failure : other.failures) {
        if (failures.size() >= MaxKeptFailures)
            break;
        failures.push_back(failure);
    }
}

} // namespace rinvo
