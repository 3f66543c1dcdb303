#pragma once

#include "WalkContext.h"

#include <cstddef>
#include <optional>

namespace rinvo {

struct Frame;

/// Copying the files of an entered folder, for one thread of the walk: what stands under each
/// name in the destination is found, the date rule and the refusals decide, and a copy is
/// written and then given its name. Counts go to the thread's tally, failures to the walk.
class FileCopier
{
public:
    FileCopier(WalkContext& walk, CopyReport& tally);

    /// Copies the frame's files to copy from position 'first' of its list on, 'count' of them.
    Flow copyFiles(const Frame& frame, std::size_t first, std::size_t count);
    /// Copies the entry at this listing position of the frame's folder.
    Flow copyFile(const Frame& frame, std::size_t index, const FolderEntry& entry);

private:
    std::optional<Flow> findTarget(const Frame& frame, std::size_t index, std::string_view name,
        bool listingHolds, std::optional<EntryInfo>& target);
    Flow refuse(const Frame& frame, std::size_t index, const FolderEntry& entry, FsError refusal);
    FsResult<std::uint64_t> writeAndPublish(
        const Frame& frame, const FolderEntry& entry, const EntryInfo* target);
    void countCopied(const Frame& frame, std::string_view name, std::uint64_t bytes);
    Flow copyFailed(const Frame& frame, std::size_t index, std::string_view name, FsError error);

    WalkContext& m_walk;
    CopyReport& m_tally;
};

} // namespace rinvo
