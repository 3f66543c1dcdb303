#pragma once

#include "CommitStage.h"
#include "EntryDecision.h"
#include "WalkContext.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace rinvo {

struct Frame;

/// Copying the files of an entered folder, for one thread of the walk: what stands under each
/// name in the destination is found, the date rule and the refusals decide, and a copy is
/// written under a temporary name; once a batch of copies is on the device, each takes its
/// name. Counts go to the thread's tally, failures to the walk.
class FileCopier
{
public:
    FileCopier(WalkContext& walk, CopyReport& tally);

    /// Copies the frame's files to copy from position 'first' of its list on, 'count' of them.
    Flow copyFiles(const std::shared_ptr<const Frame>& frame, std::size_t first, std::size_t count);
    /// Copies the entry at this listing position of the frame's folder.
    Flow copyFile(
        const std::shared_ptr<const Frame>& frame, std::size_t index, const FolderEntry& entry);
    /// Gives the copies still waiting their names, at the walk's end.
    Flow commitRest() { return commit(m_stage.takeRest()); }
    /// Tries once more a file that did not fit, now that nothing else writes; one that still
    /// does not fit is told.
    Flow retryForSpace(const std::shared_ptr<const Frame>& frame, std::size_t index);
    /// Commits the waiting copies whose first has waited too long, between tasks.
    Flow commitIfDue()
    {
        std::optional<CommitStage::Batch> due = m_stage.takeIfDue();
        return due ? commit(std::move(*due)) : Flow::Continue;
    }

private:
    std::optional<Flow> findTarget(const Frame& frame, std::size_t index, std::string_view name,
        bool listingHolds, std::optional<EntryInfo>& target);
    Flow settle(
        const Frame& frame, std::size_t index, const FolderEntry& entry, FileDecision decision);
    Flow refuse(const Frame& frame, std::size_t index, const FolderEntry& entry, FsError refusal);
    // Writes the copy and hands it to the commit stage; nothing when a file appeared under the
    // name meanwhile.
    std::optional<Flow> stage(const std::shared_ptr<const Frame>& frame, std::size_t index,
        const FolderEntry& entry, const EntryInfo* target);
    bool doesNotFit(OpenFolder& destination, const EntryInfo& source, const FsError& error);
    Flow tooLarge(const Frame& frame, std::size_t index, std::string_view name, FsError error);
    // Makes the batch's copies durable on their devices, then gives each its name.
    Flow commit(CommitStage::Batch batch);
    FsStatus flushDevices(const CommitStage::Batch& batch);
    Flow publish(StagedCopy& copy);
    void countCopied(std::uint64_t bytes);
    Flow copyFailed(const Frame& frame, std::size_t index, std::string_view name, FsError error);
    GranularityQuery granularityOf(OpenFolder* destination) const;

    WalkContext& m_walk;
    CopyReport& m_tally;
    CommitStage m_stage;
    bool m_lastTry = false;
};

} // namespace rinvo
