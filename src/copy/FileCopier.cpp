#include "FileCopier.h"

#include "EntryDecision.h"
#include "Frame.h"

namespace rinvo {

FileCopier::FileCopier(WalkContext& walk, CopyReport& tally)
    : m_walk(walk)
    , m_tally(tally)
{ }

Flow FileCopier::copyFiles(const Frame& frame, std::size_t first, std::size_t count)
{
    const std::size_t end = first + count;
    for (std::size_t next = first; next < end; ++next) {
        if (const Flow stop = m_walk.checkStop(m_tally); stop != Flow::Continue) {
            if (stop == Flow::EndRow)
                m_tally.entriesNotExamined += end - next;
            return stop;
        }
        const std::size_t index = frame.files[next];
        if (const Flow flow = copyFile(frame, index, frame.listing[index]);
            flow != Flow::Continue) {
            if (flow == Flow::EndRow)
                m_tally.entriesNotExamined += end - next - 1;
            return flow;
        }
    }
    return Flow::Continue;
}

Flow FileCopier::copyFile(const Frame& frame, std::size_t index, const FolderEntry& entry)
{
    OpenFolder* destination = frame.destination.folder.get();
    GranularityQuery granularity;
    if (!m_walk.dryRun())
        granularity = [destination] { return destination->timeGranularity(); };
    // Two rounds at most: a file that appeared under the name meanwhile is compared anew.
    for (int round = 0; round < 2; ++round) {
        std::optional<EntryInfo> target;
        if (auto failed = findTarget(frame, index, entry.name, round == 0, target))
            return *failed;
        const EntryInfo* found = target ? &*target : nullptr;
        FileDecision decision = decideFile(entry.info, found, m_walk.request().option, granularity);
        switch (decision.action) {
        case FileAction::Excluded:
            ++m_tally.entriesExcluded;
            return Flow::Continue;
        case FileAction::UpToDate:
            ++m_tally.filesUpToDate;
            return Flow::Continue;
        case FileAction::Refused:
            return refuse(frame, index, entry, std::move(*decision.refusal));
        case FileAction::Copy:
            break;
        }
        if (m_walk.dryRun()) {
            countCopied(frame, entry.name, entry.info.size);
            return Flow::Continue;
        }
        FsResult<std::uint64_t> copied = writeAndPublish(frame, entry, found);
        if (copied) {
            countCopied(frame, entry.name, *copied);
            return Flow::Continue;
        }
        if (copied.error().kind != FsErrorKind::AlreadyExists || target)
            return copyFailed(frame, index, entry.name, copied.error());
    }
    return Flow::Continue;
}

std::optional<Flow> FileCopier::findTarget(const Frame& frame, std::size_t index,
    std::string_view name, bool listingHolds, std::optional<EntryInfo>& target)
{
    const Destination& destination = frame.destination;
    const std::optional<FolderEntry> listed
        = destination.entries && listingHolds ? destination.entries->find(name) : std::nullopt;
    if (listed && !listed->error) {
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
        // copy is recorded with its path.
        m_tally.CopyStatusFlags |= PermissionDeniedBit;
        target = EntryInfo {};
    } else if (found.error().kind != FsErrorKind::PathNotFound) {
        return m_walk.fail(filePlace(frame.place, index), m_walk.destinationPathOf(frame, name),
            found.error(), FailedSide::Destination);
    }
    return std::nullopt;
}

Flow FileCopier::refuse(
    const Frame& frame, std::size_t index, const FolderEntry& entry, FsError refusal)
{
    const FsErrorKind kind = refusal.kind;
    const Flow flow = m_walk.fail(filePlace(frame.place, index),
        m_walk.destinationPathOf(frame, entry.name), std::move(refusal), FailedSide::Destination);
    // A file refused as read-only is still shown, as one whose copy was tried.
    if (kind == FsErrorKind::PermissionDenied)
        m_walk.fileDone(frame, entry.name, m_walk.dryRun() ? entry.info.size : 0);
    return flow;
}

FsResult<std::uint64_t> FileCopier::writeAndPublish(
    const Frame& frame, const FolderEntry& entry, const EntryInfo* target)
{
    OpenFolder& destination = *frame.destination.folder;
    FsResult<WrittenFile> written = destination.writeCopy(
        *frame.source, entry.name, entry.info, target, m_walk.request().stop);
    if (!written)
        return written.error();
    // NOTE: here the copy's data is written and its name not yet visible: whatever must hold
    // before a file takes its name goes between these two steps.
    if (FsStatus failed = destination.publish(*written))
        return *failed;
    return written->bytes;
}

void FileCopier::countCopied(const Frame& frame, std::string_view name, std::uint64_t bytes)
{
    ++m_tally.filesCopied;
    m_tally.bytesCopied += bytes;
    m_walk.fileDone(frame, name, bytes);
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
        m_walk.fileDone(frame, name, 0);
    return refused ? Flow::Continue : flow;
}

} // namespace rinvo
