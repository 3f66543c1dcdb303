#pragma once

#include "CopyOption.h"

#include "platform/FileSystem.h"

#include <functional>

namespace rinvo {

/// What the copy does with one file of the source.
enum class FileAction {
    Copy,
    /// The destination holds the file with the same or a later time.
    UpToDate,
    /// The copy option leaves it out, or it is no plain file (a FIFO, a device).
    Excluded,
    /// What stands under its name in the destination may not be replaced.
    Refused,
};

/// The action for one file, and the reason when it is refused.
struct FileDecision
{
    FileAction action = FileAction::Copy;
    FsStatus refusal;
};

/// Returns how finely the destination stores times. It is asked only when the source is later
/// by less than the coarsest granularity any file system has; empty, such a difference counts
/// as equal (a dry run, which writes no probe).
using GranularityQuery = std::function<TimeGranularity()>;

/// Tells whether the option leaves the entry out: by its attributes, or, for a file, because it
/// is no plain file.
bool isLeftOut(const EntryInfo& entry, CopyOption option);

/// The date rule: tells whether the source's time is strictly later than the target's at the
/// destination's granularity.
bool isLater(FileTime source, FileTime target, const GranularityQuery& granularity);

/// Decides what to do with a source file or link, given what stands under its name in the
/// destination ('target', null for nothing): left out by the option, refused by what stands
/// there, up to date by the date rule, or copied. A link is judged by its own time, and only
/// replaces a link.
FileDecision decideFile(const EntryInfo& source, const EntryInfo* target, CopyOption option,
    const GranularityQuery& granularity);

} // namespace rinvo
