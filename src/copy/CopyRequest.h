#pragma once

#include "CopyOption.h"

#include "platform/StopRequest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rinvo {

/// Receives each file copied or refused as read-only: the source folder's path, the file's
/// name (the last component only) and the bytes copied.
using CopyProgress = std::function<void(
    std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes)>;

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
};

} // namespace rinvo
