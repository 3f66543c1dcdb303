#pragma once

#include "platform/FsError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rinvo {

/// Bits of CopyStatusFlags, the status word of one copy run.
enum CopyStatusBit : std::uint16_t {
    /// A write was refused in the destination with permission denied, typically a read-only
    /// file.
    PermissionDeniedBit = 1,
    /// Some other step failed, so not everything was copied.
    CopyFailedBit = 2,
};

/// A path that could not be copied, and why; the error's side tells on which side the path
/// lies.
struct CopyFailure
{
    std::string path;
    FsError error;
};

/// What one copy run did, summed over its rows.
struct CopyReport
{
    /// How many failures keep their path; the rest are only counted, so memory stays bounded.
    static constexpr std::size_t MaxKeptFailures = 1000;

    std::uint16_t CopyStatusFlags = 0;
    std::uint64_t filesCopied = 0;
    std::uint64_t filesUpToDate = 0;
    std::uint64_t entriesExcluded = 0;
    std::uint64_t bytesCopied = 0;
    std::uint64_t failureCount = 0;
    /// Entries left unexamined because the destination as a whole became unusable mid-row.
    std::uint64_t entriesNotExamined = 0;
    /// Files not copied because they were larger than the space left; each is a failure too.
    std::uint64_t filesWithoutSpace = 0;
    /// The copy stopped early because the user asked it to.
    bool stopped = false;
    /// The destination as a whole became unusable (a drive pulled, a volume gone read-only),
    /// which ended the copy.
    bool endedByDestination = false;
    std::vector<CopyFailure> failures;

    /// Notes a failure: a write refused in the destination sets PermissionDeniedBit, anything
    /// else (an unreadable source too) CopyFailedBit.
    void addFailure(std::string path, FsError error);

    /// Adds another report's counts and failures to this one.
    void merge(const CopyReport& other);
};

} // namespace rinvo
