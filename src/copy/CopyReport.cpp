#include "CopyReport.h"

namespace rinvo {

void CopyReport::addFailure(std::string path, FsError error)
{
    // NOTE: the read-only notice says a read-only file was to be overwritten: only a
    // destination refusing a write sets its bit; an unreadable source fails like anything else.
    const bool refusedWrite
        = error.kind == FsErrorKind::PermissionDenied && error.side == FailedSide::Destination;
    CopyStatusFlags |= refusedWrite ? PermissionDeniedBit : CopyFailedBit;
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
    endedByDestination = endedByDestination || other.endedByDestination;
    for (const CopyFailure& failure : other.failures) {
        if (failures.size() >= MaxKeptFailures)
            break;
        failures.push_back(failure);
    }
}

} // namespace rinvo
