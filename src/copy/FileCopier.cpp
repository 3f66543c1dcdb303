#include "FileCopier.h"

#include "Frame.h"

#include <algorithm>
#include <set>

namespace rinvo {

FileCopier::FileCopier(WalkContext& walk, CopyReport& tally)
    : m_walk(walk)
    , m_tally(tally)
{ }

GranularityQuery FileCopier::granularityOf(OpenFolder* destination) const
{
    if (m_walk.dryRun())
        return {};
    return [destination] { return destination->timeGranularity(); };
}

Flow FileCopier::copyFiles(
    const std::shared_ptr<const Frame>& frame, std::size_t first, std::size_t count)
{
    const std::size_t end = first + count;
    for (std::size_t next = first; next < end; ++next) {
        if (const Flow stop = m_walk.checkStop(m_tally); stop != Flow::Continue) {
            if (stop == Flow::EndRow)
                m_tally.entriesNotExamined += end - next;
            return stop;
        }
        const std::size_t index = frame->files[next];
        if (const Flow flow = copyFile(frame, index, frame->listing[index]);
            flow != Flow::Continue) {
            if (flow == Flow::EndRow)
                m_tally.entriesNotExamined += end - next - 1;
            return flow;
        }
    }
    return Flow::Continue;
}

Flow FileCopier::copyFile(
    const std::shared_ptr<const Frame>& frame, std::size_t index, const FolderEntry& entry)
{
    const GranularityQuery granularity = granularityOf(frame->destination.folder.get());
    // Two rounds at most: a file that appeared under the name meanwhile is compared anew.
    for (int round = 0; round < 2; ++round) {
        std::optional<EntryInfo> target;
        if (auto failed = findTarget(*frame, index, entry.name, round == 0, target))
            return *failed;
        const EntryInfo* found = target ? &*target : nullptr;
        FileDecision decision = decideFile(entry.info, found, m_walk.request().option, granularity);
        if (decision.action != FileAction::Copy)
            return settle(*frame, index, entry, std::move(decision));
        if (m_walk.dryRun()) {
            countCopied(entry.info.size);
            m_walk.fileDone(*frame, entry.name, entry.info.size);
            return Flow::Continue;
        }
        if (const std::optional<Flow> flow = stage(frame, index, entry, found))
            return *flow;
    }
    return Flow::Continue;
}

std::optional<Flow> FileCopier::findTarget(const Frame& frame, std::size_t index,
    std::string_view name, bool listingHolds, std::optional<EntryInfo>& target)
{
    const Destination& destination = frame.destination;
    const std::optional<FolderEntry> listed
        = destination.entries && listingHolds ? destination.entries->find(name) : std::nullopt;
    if (listed && !listed->error && !destination.fromIndex) {
        target = listed->info;
        return std::nullopt;
    }
    const bool lookUp = destination.folder
        && (!listingHolds || (!destination.isNew && !destination.entries) || listed);
    if (!lookUp)
        return std::nullopt;
    auto found = destination.folder->stat(name);
    if (found) {
        target = *found;
    } else if (found.error().kind == FsErrorKind::PermissionDenied) {
        // The time cannot be compared, so the copy is attempted as if it were older; a refused
        // copy is recorded with its path, a copy that succeeds is no failure.
        target = EntryInfo {};
    } else if (found.error().kind != FsErrorKind::PathNotFound) {
        return m_walk.fail(filePlace(frame.place, index), m_walk.destinationPathOf(frame, name),
            found.error(), FailedSide::Destination);
    }
    return std::nullopt;
}

Flow FileCopier::settle(
    const Frame& frame, std::size_t index, const FolderEntry& entry, FileDecision decision)
{
    switch (decision.action) {
    case FileAction::Excluded:
        ++m_tally.entriesExcluded;
        break;
    case FileAction::UpToDate:
        ++m_tally.filesUpToDate;
        break;
    case FileAction::Refused:
        return refuse(frame, index, entry, std::move(*decision.refusal));
    case FileAction::Copy:
        break;
    }
    return Flow::Continue;
}

Flow FileCopier::refuse(
    const Frame& frame, std::size_t index, const FolderEntry& entry, FsError refusal)
{
    const FsErrorKind kind = refusal.kind;
    const Flow flow = m_walk.fail(filePlace(frame.place, index),
        m_walk.destinationPathOf(frame, entry.name), std::move(refusal), FailedSide::Destination);
    // A file refused as read-only is still shown, as one whose copy was tried.
    if (kind == FsErrorKind::PermissionDenied)
        m_walk.fileDone(
            frame, entry.name, m_walk.dryRun() ? entry.info.size : 0, FileOutcome::Refused);
    return flow;
}

std::optional<Flow> FileCopier::stage(const std::shared_ptr<const Frame>& frame, std::size_t index,
    const FolderEntry& entry, const EntryInfo* target)
{
    OpenFolder& destination = *frame->destination.folder;
    FsResult<WrittenFile> written = entry.info.kind == EntryKind::Link
        ? destination.writeLinkCopy(*frame->source, entry.name, entry.info, target)
        : destination.writeCopy(
            *frame->source, entry.name, entry.info, target, m_walk.request().stop);
    if (!written) {
        // A file that appeared under the name meanwhile is compared anew by the caller.
        if (written.error().kind == FsErrorKind::AlreadyExists && !target)
            return std::nullopt;
        if (doesNotFit(destination, entry.info, written.error())) {
            // NOTE: another thread's large copy may fill the volume for a moment, so a file
            // that does not fit is tried once more at the row's end, when nothing else writes.
            if (!m_lastTry && m_walk.deferForSpace(frame, index))
                return Flow::Continue;
            return tooLarge(*frame, index, entry.name, written.error());
        }
        return copyFailed(*frame, index, entry.name, written.error());
    }
    // The file shows as copied once its data is written, whenever it takes its name.
    m_walk.fileDone(*frame, entry.name, written->bytes);
    // NOTE: the data is written and the name not yet visible; the copy takes its name once a
    // batch of copies is on the device, so a power cut never leaves a name with half its data.
    m_walk.noteWrittenTo(frame);
    std::optional<CommitStage::Batch> full
        = m_stage.add(StagedCopy { frame, index, std::move(*written) });
    return full ? commit(std::move(*full)) : Flow::Continue;
}

bool FileCopier::doesNotFit(OpenFolder& destination, const EntryInfo& source, const FsError& error)
{
    // NOTE: only a file larger than the space left is passed over; when a smaller one fails too
    // the volume is full, and the row ends as for any unusable destination. A file counts as
    // larger within a margin, for the blocks and records a file system adds.
    if (error.kind != FsErrorKind::DiskFull || error.side != FailedSide::Destination)
        return false;
    const std::optional<std::uint64_t> free = destination.freeSpace();
    const std::uint64_t margin = std::max<std::uint64_t>(1 << 20, source.size / 64);
    return free && source.size + margin > *free;
}

Flow FileCopier::tooLarge(
    const Frame& frame, std::size_t index, std::string_view name, FsError error)
{
    ++m_tally.filesWithoutSpace;
    error.side = FailedSide::Destination;
    m_walk.note(
        filePlace(frame.place, index), m_walk.destinationPathOf(frame, name), std::move(error));
    return Flow::Continue;
}

Flow FileCopier::retryForSpace(const std::shared_ptr<const Frame>& frame, std::size_t index)
{
    m_lastTry = true;
    const Flow flow = copyFile(frame, index, frame->listing[index]);
    m_lastTry = false;
    return flow;
}

Flow FileCopier::commit(CommitStage::Batch batch)
{
    if (batch.empty())
        return Flow::Continue;
    if (FsStatus failed = flushDevices(batch)) {
        // The data may not be on the device: none of the batch takes its name, and each counts
        // as not copied.
        for (const StagedCopy& copy : batch)
            copy.frame->destination.folder->discard(copy.written);
        m_tally.entriesNotExamined += batch.size();
        const StagedCopy& first = batch.front();
        return m_walk.fail(filePlace(first.frame->place, first.index), m_walk.destinationRootPath(),
            std::move(*failed), FailedSide::Destination);
    }
    // NOTE: copies written before the row ended still take their names: a full disk leaves
    // room to rename, and on a drive that has gone the rename fails like any other step.
    Flow flow = Flow::Continue;
    for (StagedCopy& copy : batch) {
        const Flow published = publish(copy);
        if (published == Flow::EndRow)
            ++m_tally.entriesNotExamined;
        if (published != Flow::Continue)
            flow = published;
    }
    return flow;
}

FsStatus FileCopier::flushDevices(const CommitStage::Batch& batch)
{
    std::set<std::uint64_t> flushed;
    for (const StagedCopy& copy : batch) {
        OpenFolder& folder = *copy.frame->destination.folder;
        const std::uint64_t device = folder.identity().device;
        if (!flushed.insert(device).second)
            continue;
        // NOTE: Linux tells of a failed write-back to one flush only, which may have been
        // another thread's; once one flush of a device failed, none of its copies is trusted.
        FsStatus failed = folder.flushToDevice();
        if (failed)
            m_walk.markFlushFailed(device);
        else if (m_walk.flushFailed(device))
            failed = FsError { FsErrorKind::Other, "an earlier flush of the volume failed" };
        if (failed)
            return failed;
    }
    return std::nullopt;
}

Flow FileCopier::publish(StagedCopy& copy)
{
    const Frame& frame = *copy.frame;
    OpenFolder& folder = *frame.destination.folder;
    const FolderEntry entry = frame.listing[copy.index];
    FsStatus failed = folder.publish(copy.written);
    if (failed && failed->kind == FsErrorKind::AlreadyExists && !copy.written.replacesTarget) {
        // A file appeared under the name since it was looked at (another run): the date rule
        // decides anew.
        if (auto found = folder.stat(entry.name)) {
            FileDecision decision
                = decideFile(entry.info, &*found, m_walk.request().option, granularityOf(&folder));
            if (decision.action != FileAction::Copy) {
                folder.discard(copy.written);
                return settle(frame, copy.index, entry, std::move(decision));
            }
            copy.written.replacesTarget = true;
        }
        failed = folder.publish(copy.written);
    }
    if (failed) {
        folder.discard(copy.written);
        return copyFailed(frame, copy.index, entry.name, std::move(*failed));
    }
    countCopied(copy.written.bytes);
    return Flow::Continue;
}

void FileCopier::countCopied(std::uint64_t bytes)
{
    ++m_tally.filesCopied;
    m_tally.bytesCopied += bytes;
}

Flow FileCopier::copyFailed(
    const Frame& frame, std::size_t index, std::string_view name, FsError error)
{
    if (error.kind == FsErrorKind::Stopped) {
        // The file stopped part way stays as it was; the walk ends here.
        m_tally.stopped = true;
        return Flow::Stop;
    }
    // A copy names the side that failed; where it cannot tell, the source is named.
    const bool destinationFailed = error.side == FailedSide::Destination;
    const FailedSide side = destinationFailed ? FailedSide::Destination : FailedSide::Source;
    std::string path = destinationFailed ? m_walk.destinationPathOf(frame, name)
                                         : m_walk.sourcePathOf(frame, name);
    if (error.kind == FsErrorKind::PathNotFound && !destinationFailed
        && !frame.source->stat(name)) {
        // The source file went away since the listing: nothing is left to back up.
        return Flow::Continue;
    }
    const bool refused = error.kind == FsErrorKind::PermissionDenied;
    const Flow flow
        = m_walk.fail(filePlace(frame.place, index), std::move(path), std::move(error), side);
    // A file refused with permission denied is still shown, as one whose copy was tried.
    if (refused)
        m_walk.fileDone(frame, name, 0, FileOutcome::Refused);
    return refused ? Flow::Continue : flow;
}

} // namespace rinvo
