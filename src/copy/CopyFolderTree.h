#pragma once

#include "CopyOption.h"
#include "CopyReport.h"

#include "platform/StopRequest.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace rinvo {

class FileSystem;

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

/// Copies the file or folder tree 'src' into the folder 'dst': a file only when the
/// destination lacks it or holds it with a strictly earlier time, skipping what the option
/// excludes, never removing anything. Failures are noted in the report, never thrown. A stop
/// request ends the copy after the file being copied (or between the blocks of a large one,
/// leaving that file as it was), with the report marked stopped.
/// Several folders are walked at once on 'threads' threads (0 chooses, see copyThreadCount;
/// a dry run takes one, so its progress comes in walk order);
/// the report is the one a walk on one thread gives, its failures in that walk's order (depth
/// first, a folder's files before its subfolders). Only the order in which the progress is told
/// of copied files may differ, and the counts of a row that a stop or an unusable destination
/// ended early. The progress is told of one file at a time, from any of the threads.
void CopyFolderTree(FileSystem& fs, std::string_view src, std::string_view dst, CopyOption option,
    CopyReport& report, const CopyProgress& progress = {}, CopyMode mode = CopyMode::Copy,
    const StopRequest* stop = nullptr, unsigned threads = 0);

} // namespace rinvo
