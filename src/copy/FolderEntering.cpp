#include "FolderEntering.h"

#include "DestinationIndex.h"
#include "EntryDecision.h"
#include "Frame.h"

#include <algorithm>

namespace rinvo {

FolderEntering::FolderEntering(WalkContext& walk, CopyReport& tally)
    : m_walk(walk)
    , m_tally(tally)
{ }

Flow FolderEntering::enter(Frame& frame)
{
    FsResult<FolderListing> sourceListing = frame.source->list();
    // Listed first, so a row that ends here counts the folder's entries as not examined.
    if (sourceListing)
        frame.listing = std::move(*sourceListing);
    if (const Flow flow = listDestination(frame); flow != Flow::Continue)
        return flow;
    if (!sourceListing) {
        return m_walk.fail(
            folderPlace(frame.place), frame.sourcePath, sourceListing.error(), FailedSide::Source);
    }
    findClashes(frame);
    findFiles(frame);
    findSubfolders(frame);
    return Flow::Continue;
}

Flow FolderEntering::listDestination(Frame& frame)
{
    Destination& destination = frame.destination;
    if (destination.isNew || !destination.folder)
        return Flow::Continue;
    DestinationIndex* index = m_walk.index();
    // The stamp is read before the listing, so a change made meanwhile shows next time.
    const FsResult<FolderStamp> stamp
        = index ? destination.folder->stamp() : FsResult<FolderStamp>(FsError {});
    // NOTE: a drive mounted inside the destination has its own volume, which the index was
    // never told it may trust: its folders are always listed.
    const bool indexed = index && stamp && stamp->identity.device == m_walk.destinationRootDevice();
    if (indexed) {
        if (std::optional<FolderListing> known = index->take(m_walk.indexName(frame), *stamp)) {
            destination.entries = std::move(known);
            destination.fromIndex = true;
            return Flow::Continue;
        }
    }
    FsResult<FolderListing> listing = destination.folder->list();
    if (listing) {
        if (indexed)
            index->keep(m_walk.indexName(frame), *stamp, *listing);
        destination.entries = std::move(*listing);
    } else if (showsVolumeUnusable(listing.error()))
        return m_walk.endRow(folderPlace(frame.place), listing.error());
    // A destination that could not be listed is looked up name by name instead.
    return Flow::Continue;
}

void FolderEntering::findClashes(Frame& frame)
{
    // Only where two names of this folder fold together is the destination asked whether it
    // folds case; a dry run writes no probe and takes it as case-sensitive.
    if (m_walk.dryRun() || !frame.destination.folder)
        return;
    const CopyOption option = m_walk.request().option;
    frame.clashes = findCaseClashes(frame.listing, [&](std::size_t index) {
        const FolderEntry entry = frame.listing[index];
        return !entry.error && !isLeftOut(entry.info, option);
    });
    if (!frame.clashes.empty() && !frame.destination.folder->foldsCase())
        frame.clashes.clear();
}

void FolderEntering::findFiles(Frame& frame)
{
    // NOTE: only the files whose copy must be tried are handed out to the threads; what the
    // listings settle (up to date, left out, failed) is counted here, where it costs nothing.
    for (std::size_t i = 0; i < frame.listing.size(); ++i) {
        const FolderEntry entry = frame.listing[i];
        if (!entry.error && entry.info.kind == EntryKind::Folder)
            continue;
        if (entry.error) {
            // An entry that cannot be looked at is left out; the folder goes on.
            m_walk.fail(filePlace(frame.place, i), m_walk.sourcePathOf(frame, entry.name),
                *entry.error, FailedSide::Source);
            ++frame.examined;
            continue;
        }
        // The option judges a link by its own attributes, before it is resolved.
        if (entry.info.kind == EntryKind::Link && !isLeftOut(entry.info, m_walk.request().option)
            && !resolveLink(frame, i)) {
            ++frame.examined;
            continue;
        }
        if (isLeftOut(frame.listing[i].info, m_walk.request().option)) {
            ++m_tally.entriesExcluded;
        } else if (isClash(frame, i, filePlace(frame.place, i))) {
            // Recorded as a failure by the check itself.
        } else if (isUpToDateByListing(frame, frame.listing[i])) {
            ++m_tally.filesUpToDate;
        } else {
            frame.files.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        ++frame.examined;
    }
}

bool FolderEntering::resolveLink(Frame& frame, std::size_t index)
{
    // NOTE: where the destination holds links a link is copied as a link, whatever it leads
    // to. Where it cannot, one to a file is copied as the file, and one to a folder is told and
    // never walked: it may lead out of the tree, or into a part of it copied already. A dry run
    // writes no probe and takes links as held.
    OpenFolder* destination = frame.destination.folder.get();
    const FolderEntry entry = frame.listing[index];
    // A backup made before links were copied as links holds the linked file under the link's
    // name: it goes on being copied as the file.
    const std::optional<FolderEntry> listed
        = frame.destination.entries ? frame.destination.entries->find(entry.name) : std::nullopt;
    const bool fileInItsPlace = entry.info.linkTarget == EntryKind::File && listed && !listed->error
        && listed->info.kind == EntryKind::File;
    if (!fileInItsPlace && (m_walk.dryRun() || !destination || destination->holdsLinks()))
        return true;
    const WalkPlace place = filePlace(frame.place, index);
    if (entry.info.linkTarget == EntryKind::Folder) {
        m_walk.fail(place, m_walk.sourcePathOf(frame, entry.name),
            { FsErrorKind::LinkToFolder, "symbolic link" }, FailedSide::Source);
        return false;
    }
    FsResult<EntryInfo> target = frame.source->stat(entry.name);
    if (!target) {
        m_walk.fail(
            place, m_walk.sourcePathOf(frame, entry.name), target.error(), FailedSide::Source);
        return false;
    }
    if (target->kind != EntryKind::File) {
        // It turned into a folder or a special file since the listing: left out.
        ++m_tally.entriesExcluded;
        return false;
    }
    // Marked as reached through a link, so the copy may follow it.
    target->linkTarget = EntryKind::File;
    frame.listing.setInfo(index, *target);
    return true;
}

bool FolderEntering::isUpToDateByListing(const Frame& frame, const FolderEntry& entry) const
{
    const Destination& destination = frame.destination;
    const std::optional<FolderEntry> listed
        = destination.entries ? destination.entries->find(entry.name) : std::nullopt;
    if (!listed || listed->error)
        return false;
    GranularityQuery granularity;
    if (!m_walk.dryRun())
        granularity = [&] { return destination.folder->timeGranularity(); };
    return decideFile(entry.info, &listed->info, m_walk.request().option, granularity).action
        == FileAction::UpToDate;
}

void FolderEntering::findSubfolders(Frame& frame)
{
    for (std::size_t index = 0; index < frame.listing.size(); ++index) {
        const FolderEntry entry = frame.listing[index];
        if (entry.error || entry.info.kind != EntryKind::Folder)
            continue;
        if (isLeftOut(entry.info, m_walk.request().option)) {
            ++frame.examined;
            ++m_tally.entriesExcluded;
        } else if (isClash(frame, index, subfolderPlace(frame.place, index))) {
            ++frame.examined;
        } else {
            frame.subfolders.push_back(static_cast<std::uint32_t>(index));
        }
    }
}

bool FolderEntering::isClash(const Frame& frame, std::size_t index, const WalkPlace& place)
{
    auto found = std::lower_bound(frame.clashes.begin(), frame.clashes.end(), index,
        [](const CaseClash& clash, std::size_t key) { return clash.later < key; });
    if (found == frame.clashes.end() || found->later != index)
        return false;
    FsError error { FsErrorKind::NameDiffersOnlyInCase,
        std::string(frame.listing[found->earlier].name), FailedSide::Source };
    m_walk.note(place, m_walk.sourcePathOf(frame, frame.listing[index].name), std::move(error));
    return true;
}

Flow FolderEntering::openSubfolder(
    const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child)
{
    const std::string_view name = parent.listing[index].name;
    const WalkPlace place = subfolderPlace(parent.place, index);
    auto childSource = parent.source->openFolder(name);
    const FolderIdentity identity = childSource ? (*childSource)->identity() : FolderIdentity {};
    if (childSource && m_walk.isOnWalk(parent, identity)) {
        // A link back up the walk, or the destination itself: entering it would not end.
        ++m_tally.entriesExcluded;
        return Flow::Continue;
    }
    const std::uint32_t permissions
        = childSource ? (*childSource)->permissions() : DefaultFolderPermissions;
    std::optional<Destination> childDestination;
    if (openDestination(parent, index, permissions, childDestination) == Flow::EndRow)
        return Flow::EndRow;
    if (!childSource) {
        return m_walk.fail(
            place, m_walk.sourcePathOf(parent, name), childSource.error(), FailedSide::Source);
    }
    if (!childDestination)
        return Flow::Continue;
    child = std::make_unique<Frame>();
    child->source = std::move(*childSource);
    child->destination = std::move(*childDestination);
    child->sourcePath = m_walk.sourcePathOf(parent, name);
    child->destinationPath = m_walk.destinationPathOf(parent, name);
    child->place = place;
    child->walked = std::make_shared<WalkedFolder>(WalkedFolder { identity, parent.walked });
    return Flow::Continue;
}

Flow FolderEntering::openDestination(const Frame& parent, std::size_t index,
    std::uint32_t permissions, std::optional<Destination>& opened)
{
    const Destination& destination = parent.destination;
    const std::string_view name = parent.listing[index].name;
    if (!destination.folder) {
        // A dry run below a folder it would make: everything below is new too.
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    const WalkPlace place = subfolderPlace(parent.place, index);
    const std::optional<FolderEntry> listed = !destination.isNew && destination.entries
        ? destination.entries->find(name)
        : std::nullopt;
    if (listed && !listed->error && listed->info.kind == EntryKind::Link) {
        return m_walk.fail(place, m_walk.destinationPathOf(parent, name),
            { FsErrorKind::LinkInDestination, "symbolic link" }, FailedSide::Destination);
    }
    const bool known = destination.isNew || destination.entries;
    if (known && !listed)
        return createDestination(parent, index, permissions, opened);
    auto found = destination.folder->openFolder(name);
    if (found) {
        opened = Destination { std::move(*found), std::nullopt, false };
        return Flow::Continue;
    }
    if (!listed && found.error().kind == FsErrorKind::PathNotFound)
        return createDestination(parent, index, permissions, opened);
    // A file in the folder's place: creating the folder would fail the same way.
    FsError error = found.error();
    if (error.kind == FsErrorKind::PathNotFound)
        error = { FsErrorKind::AlreadyExists, "a file in the folder's place" };
    return m_walk.fail(
        place, m_walk.destinationPathOf(parent, name), error, FailedSide::Destination);
}

Flow FolderEntering::createDestination(const Frame& parent, std::size_t index,
    std::uint32_t permissions, std::optional<Destination>& opened)
{
    if (m_walk.dryRun()) {
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    const std::string_view name = parent.listing[index].name;
    const WalkPlace place = subfolderPlace(parent.place, index);
    OpenFolder& folder = *parent.destination.folder;
    bool isNew = true;
    if (FsStatus failed = folder.createFolder(name, permissions)) {
        // A folder that appeared meanwhile (another run) is used as it is.
        if (failed->kind != FsErrorKind::AlreadyExists) {
            return m_walk.fail(
                place, m_walk.destinationPathOf(parent, name), *failed, FailedSide::Destination);
        }
        isNew = false;
    }
    auto made = folder.openFolder(name);
    if (!made) {
        return m_walk.fail(
            place, m_walk.destinationPathOf(parent, name), made.error(), FailedSide::Destination);
    }
    opened = Destination { std::move(*made), std::nullopt, isNew };
    return Flow::Continue;
}

} // namespace rinvo
