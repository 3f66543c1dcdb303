#pragma once

#include "CopyOption.h"

#include "platform/FsError.h"
#include "platform/StopRequest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rinvo {

class DestinationIndex;

/// Whether a file the progress is told of was copied, or its copy was tried and refused (a
/// read-only target, or permission denied), which is shown too.
enum class FileOutcome {
    Copied,
    Refused,
};

/// Receives each file copied or refused with permission denied: the source folder's path, the
/// file's name (the last component only), the bytes copied and which of the two it was.
using CopyProgress = std::function<void(std::string_view sourceFolder, std::string_view fileName,
    std::uint64_t bytes, FileOutcome outcome)>;

/// Receives each failure as it happens: the path that failed and why, its side set. Called
/// from any of the threads, one call at a time.
using CopyFailureSink = std::function<void(std::string_view path, const FsError& error)>;

/// Whether a copy writes, or only tells what it would write.
enum class CopyMode {
    Copy,
    /// Nothing is created, copied or written; the report and the progress tell what a copy
    /// would do. Times within two seconds of each other count as equal, since the destination's
    /// granularity is learned by writing.
    DryRun,
};

/// What one call of CopyFolderTree copies, and how.
struct CopyRequest
{
    /// The folder tree or single file to copy.
    std::string source;
    /// The folder it is copied into.
    std::string destination;
    CopyOption option = DefaultCopyOption;
    CopyMode mode = CopyMode::Copy;
    /// How many threads walk the tree; 0 chooses (see copyThreadCount). A dry run walks on one,
    /// so its progress comes in walk order.
    unsigned threads = 0;
    /// Ends the copy after the file being copied, or between the blocks of a large one; may be
    /// null.
    const StopRequest* stop = nullptr;
    /// Told of one copied file at a time, from any of the threads; may be empty.
    CopyProgress progress {};
    /// Told of every failure, beyond those the report keeps too; may be empty.
    CopyFailureSink failed {};
    /// What the last runs of this rule saw of its destination, or null: a copy takes from it
    /// each destination folder whose stamp has not moved and brings it up to date; a dry run
    /// leaves it alone.
    DestinationIndex* index = nullptr;
    /// Lists every destination folder whatever the index holds, which then starts anew.
    bool fullPass = false;
};

} // namespace rinvo
