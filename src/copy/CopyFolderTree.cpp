#include "CopyFolderTree.h"

#include "CaseClashes.h"
#include "WorkerThread.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Processors.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rinvo {

namespace {

// A source time later than the destination's by less than this may be the destination's
// rounding (FAT keeps two seconds), so only then is the destination's granularity needed.
constexpr std::int64_t CoarsestGranularity = 2 * NanosecondsPerSecond;

// Whether the walk goes on after a step, or the row ends: its destination is unusable, or the
// user asked to stop.
enum class Flow {
    Continue,
    EndRow,
    Stop,
};

// The destination side of one folder on the walk.
struct Destination
{
    // The open folder; null only in a dry run, for a folder that does not exist yet.
    std::unique_ptr<OpenFolder> folder;
    // The folder's entries; none when it is new or could not be listed.
    std::optional<FolderListing> entries;
    bool isNew = false;
};

// One folder on the walk: both sides, the source's entries, and how far the walk has come.
struct Frame
{
    std::unique_ptr<OpenFolder> source;
    Destination destination;
    FolderListing listing;
    // Entries that a case-folding destination cannot hold beside an earlier name.
    std::vector<CaseClash> clashes;
    // The next entry the subfolder pass looks at.
    std::size_t nextSubfolder = 0;
    // Entries dealt with so far, files and subfolders alike.
    std::size_t examined = 0;
    // The lengths of the walk's two paths while this folder is the current one.
    std::size_t sourcePathLength = 0;
    std::size_t destinationPathLength = 0;
};

class FolderTreeCopier
{
public:
    FolderTreeCopier(FileSystem& fs, CopyOption option, CopyReport& report,
        const CopyProgress& progress, CopyMode mode, const StopRequest* stop)
        : m_fs(fs)
        , m_option(option)
        , m_report(report)
        , m_progress(progress)
        , m_mode(mode)
        , m_stop(stop)
        , m_style(fs.pathStyle())
    {
        // Reading the destination beside the source only pays where a second core runs it.
        if (usableProcessorCount() > 1)
            m_helper.emplace();
    }

    void copySingleFile(std::string_view src, std::string_view dst);
    void copyTree(std::string_view src, std::string_view dst);

private:
    bool dryRun() const { return m_mode == CopyMode::DryRun; }
    void walk(Frame root);
    Flow enterFolder(Frame& frame);
    void listBothSides(Frame& frame, FsResult<FolderListing>& sourceListing,
        std::optional<FsResult<FolderListing>>& destinationListing);
    Flow copyFiles(Frame& frame);
    std::optional<std::size_t> nextSubfolder(Frame& frame);
    Flow openSubfolder(Frame& parent, std::size_t index, std::optional<Frame>& child);
    Flow openOrCreate(Destination& parent, std::string_view name, std::uint32_t permissions,
        std::optional<Destination>& opened);
    Flow copyFile(OpenFolder& source, Destination& destination, const FolderEntry& entry);
    bool isLater(const EntryInfo& source, const EntryInfo& target, OpenFolder& destination);
    bool isOnWalk(const FolderIdentity& id) const;
    bool isClash(const Frame& frame, std::size_t index);
    void fileDone(std::string_view name, std::uint64_t bytes);
    // Ends the walk at a user's request.
    Flow stopIfAsked();
    void flushIfCopied(OpenFolder* destination, std::uint64_t copiedBefore);

    // Where an entry lies on either side, for reports.
    std::string sourcePathOf(std::string_view name) const
    {
        return joinPath(m_sourcePath, name, m_style);
    }
    std::string destinationPathOf(std::string_view name) const
    {
        return joinPath(m_destinationPath, name, m_style);
    }
    // Records a failure of one entry; one that shows the destination unusable ends the row.
    Flow fail(std::string path, FsError error, FailedSide side);
    Flow endRow(FsError error);

    FileSystem& m_fs;
    CopyOption m_option;
    CopyReport& m_report;
    const CopyProgress& m_progress;
    CopyMode m_mode;
    const StopRequest* m_stop;
    PathStyle m_style;
    // The current folder's paths on both sides, grown and cut as the walk goes down and up,
    // so memory holds one path per side however deep the tree is.
    std::string m_sourcePath;
    std::string m_destinationPath;
    std::string m_destinationRootPath;
    // NOTE: the walk keeps its folders on this explicit stack, not on the call stack, so a
    // tree thousands of folders deep needs no more than a few bytes of stack per level.
    std::vector<Frame> m_stack;
    std::optional<FolderIdentity> m_destinationRoot;
    bool m_rowEnded = false;
    std::optional<WorkerThread> m_helper;
};

void FolderTreeCopier::fileDone(std::string_view name, std::uint64_t bytes)
{
    if (m_progress)
        m_progress(m_sourcePath, name, bytes);
}

Flow FolderTreeCopier::stopIfAsked()
{
    if (!stopRequested(m_stop))
        return Flow::Continue;
    m_report.stopped = true;
    return Flow::Stop;
}

Flow FolderTreeCopier::fail(std::string path, FsError error, FailedSide side)
{
    if (side == FailedSide::Destination && showsVolumeUnusable(error))
        return endRow(std::move(error));
    error.side = side;
    m_report.addFailure(std::move(path), std::move(error));
    return Flow::Continue;
}

Flow FolderTreeCopier::endRow(FsError error)
{
    // NOTE: one line names the destination and the reason, rather than one failure for each
    // entry still to come: the whole destination is gone, full or read-only.
    error.side = FailedSide::Destination;
    m_report.addFailure(m_destinationRootPath, std::move(error));
    m_rowEnded = true;
    return Flow::EndRow;
}

void FolderTreeCopier::flushIfCopied(OpenFolder* destination, std::uint64_t copiedBefore)
{
    // NOTE: one flush per row rather than one per file: a per-file flush costs more than
    // copying a small file, and the copies only have to be safe once the row is reported done.
    if (dryRun() || !destination || m_report.filesCopied == copiedBefore)
        return;
    // A row already ended by its destination has said why; a failing flush adds nothing.
    if (FsStatus failed = destination->flushToDevice(); failed && !m_rowEnded)
        fail(m_destinationRootPath, *failed, FailedSide::Destination);
}

bool FolderTreeCopier::isOnWalk(const FolderIdentity& id) const
{
    // The folders on the stack are the walk's path; each knows its identity already.
    return std::any_of(m_stack.begin(), m_stack.end(), [&](const Frame& frame) {
        return frame.source->identity() == id;
    }) || (m_destinationRoot && *m_destinationRoot == id);
}

bool FolderTreeCopier::isLater(
    const EntryInfo& source, const EntryInfo& target, OpenFolder& destination)
{
    if (source.modified <= target.modified)
        return false;
    if (differenceInNanoseconds(source.modified, target.modified) >= CoarsestGranularity)
        return true;
    // A dry run does not write the probe that tells the granularity, so it assumes the coarsest.
    if (dryRun())
        return false;
    return isStrictlyLater(source.modified, target.modified, destination.timeGranularity());
}

bool FolderTreeCopier::isClash(const Frame& frame, std::size_t index)
{
    auto found = std::lower_bound(frame.clashes.begin(), frame.clashes.end(), index,
        [](const CaseClash& clash, std::size_t key) { return clash.later < key; });
    if (found == frame.clashes.end() || found->later != index)
        return false;
    FsError error { FsErrorKind::NameDiffersOnlyInCase,
        std::string(frame.listing[found->earlier].name), FailedSide::Source };
    m_report.addFailure(sourcePathOf(frame.listing[index].name), std::move(error));
    return true;
}

void FolderTreeCopier::copySingleFile(std::string_view src, std::string_view dst)
{
    auto info = m_fs.getInfo(src);
    if (!info) {
        m_report.addFailure(std::string(src), info.error());
        return;
    }
    if (isExcludedByOption(info->attributes, m_option)) {
        ++m_report.entriesExcluded;
        return;
    }
    m_sourcePath = parentPath(src, m_style);
    m_destinationPath = std::string(dst);
    m_destinationRootPath = m_destinationPath;
    auto sourceFolder = m_fs.openFolder(m_sourcePath, FolderSide::Source);
    if (!sourceFolder) {
        fail(m_sourcePath, sourceFolder.error(), FailedSide::Source);
        return;
    }
    auto destinationFolder = m_fs.openFolder(m_destinationPath, FolderSide::Destination);
    if (!destinationFolder) {
        fail(m_destinationPath, destinationFolder.error(), FailedSide::Destination);
        return;
    }
    Destination destination { std::move(*destinationFolder), std::nullopt, false };
    const std::string name(lastComponent(src, m_style));
    const FolderEntry entry { name, *info, nullptr };
    const std::uint64_t copiedBefore = m_report.filesCopied;
    copyFile(**sourceFolder, destination, entry);
    flushIfCopied(destination.folder.get(), copiedBefore);
}

void FolderTreeCopier::copyTree(std::string_view src, std::string_view dst)
{
    m_sourcePath = trimTrailingSeparator(src, m_style);
    m_destinationPath = trimTrailingSeparator(dst, m_style);
    m_destinationRootPath = m_destinationPath;
    auto source = m_fs.openFolder(m_sourcePath, FolderSide::Source);
    const std::uint32_t permissions = source ? (*source)->permissions() : DefaultFolderPermissions;

    Frame root;
    if (!m_fs.folderExists(dst)) {
        if (dryRun()) {
            root.destination.isNew = true;
        } else if (FsStatus failed = m_fs.createFolder(dst, permissions)) {
            // Another run that made the folder meanwhile leaves it ready for this one too.
            if (failed->kind != FsErrorKind::AlreadyExists || !m_fs.folderExists(dst)) {
                // Every later step needs the folder, so the row ends here.
                fail(m_destinationPath, *failed, FailedSide::Destination);
                return;
            }
        } else {
            root.destination.isNew = true;
        }
    }
    if (!source) {
        fail(m_sourcePath, source.error(), FailedSide::Source);
        return;
    }
    if (!(dryRun() && root.destination.isNew)) {
        auto opened = m_fs.openFolder(m_destinationPath, FolderSide::Destination);
        if (!opened) {
            fail(m_destinationPath, opened.error(), FailedSide::Destination);
            return;
        }
        root.destination.folder = std::move(*opened);
        // NOTE: a destination inside its own source is never walked as source, so the copy
        // cannot feed on itself.
        m_destinationRoot = root.destination.folder->identity();
    }
    root.source = std::move(*source);
    root.sourcePathLength = m_sourcePath.size();
    root.destinationPathLength = m_destinationPath.size();
    const std::uint64_t copiedBefore = m_report.filesCopied;
    walk(std::move(root));
    flushIfCopied(m_stack.front().destination.folder.get(), copiedBefore);
    m_stack.clear();
}

void FolderTreeCopier::walk(Frame root)
{
    m_stack.clear();
    m_stack.push_back(std::move(root));
    Flow flow = enterFolder(m_stack.back());
    while (flow == Flow::Continue) {
        Frame& top = m_stack.back();
        const std::optional<std::size_t> next = nextSubfolder(top);
        if (!next) {
            // The root stays for the caller's flush; any other folder is done, and the walk
            // goes back up to its parent.
            if (m_stack.size() == 1)
                break;
            m_stack.pop_back();
            m_sourcePath.resize(m_stack.back().sourcePathLength);
            m_destinationPath.resize(m_stack.back().destinationPathLength);
            continue;
        }
        std::optional<Frame> child;
        flow = stopIfAsked();
        if (flow != Flow::Continue)
            break;
        flow = openSubfolder(top, *next, child);
        if (flow != Flow::Continue || !child)
            continue;
        m_stack.push_back(std::move(*child));
        flow = enterFolder(m_stack.back());
    }
    if (flow == Flow::EndRow) {
        for (const Frame& frame : m_stack)
            m_report.entriesNotExamined += frame.listing.size() - frame.examined;
    }
    // A stopped walk counts nothing as unexamined: the user knows the run was cut short.
}

void FolderTreeCopier::listBothSides(Frame& frame, FsResult<FolderListing>& sourceListing,
    std::optional<FsResult<FolderListing>>& destinationListing)
{
    Destination& destination = frame.destination;
    if (destination.isNew || !destination.folder) {
        sourceListing = frame.source->list();
        return;
    }
    // The destination's details are read on the helper while the source's are read here; a
    // destination that could not be listed is looked up name by name instead.
    auto read = [&] { destinationListing.emplace(destination.folder->list()); };
    if (m_helper)
        m_helper->post(read);
    sourceListing = frame.source->list();
    if (m_helper)
        m_helper->wait();
    else
        read();
}

Flow FolderTreeCopier::enterFolder(Frame& frame)
{
    FsResult<FolderListing> sourceListing = FsError {};
    std::optional<FsResult<FolderListing>> destinationListing;
    listBothSides(frame, sourceListing, destinationListing);
    if (sourceListing)
        frame.listing = std::move(*sourceListing);
    if (destinationListing) {
        if (*destinationListing)
            frame.destination.entries = std::move(destinationListing->value());
        else if (showsVolumeUnusable(destinationListing->error()))
            return endRow(destinationListing->error());
    }
    if (!sourceListing) {
        fail(m_sourcePath, sourceListing.error(), FailedSide::Source);
        return Flow::Continue;
    }
    // Only where two names of this folder fold together is the destination asked whether it
    // folds case; a dry run writes no probe and takes it as case-sensitive.
    if (!dryRun() && frame.destination.folder) {
        frame.clashes = findCaseClashes(frame.listing, [&](std::size_t index) {
            const FolderEntry entry = frame.listing[index];
            return !entry.error && entry.info.kind != EntryKind::Special
                && !isExcludedByOption(entry.info.attributes, m_option);
        });
        if (!frame.clashes.empty() && !frame.destination.folder->foldsCase())
            frame.clashes.clear();
    }
    return copyFiles(frame);
}

Flow FolderTreeCopier::copyFiles(Frame& frame)
{
    // All of a folder's files come before its first subfolder.
    for (std::size_t i = 0; i < frame.listing.size(); ++i) {
        const FolderEntry entry = frame.listing[i];
        if (!entry.error && entry.info.kind == EntryKind::Folder)
            continue;
        ++frame.examined;
        if (entry.error) {
            // An entry that cannot be looked at is left out; the folder goes on.
            fail(sourcePathOf(entry.name), *entry.error, FailedSide::Source);
            continue;
        }
        if (isExcludedByOption(entry.info.attributes, m_option)
            || entry.info.kind == EntryKind::Special) {
            ++m_report.entriesExcluded;
            continue;
        }
        if (isClash(frame, i))
            continue;
        if (const Flow stop = stopIfAsked(); stop != Flow::Continue)
            return stop;
        if (const Flow flow = copyFile(*frame.source, frame.destination, entry);
            flow != Flow::Continue)
            return flow;
    }
    return Flow::Continue;
}

std::optional<std::size_t> FolderTreeCopier::nextSubfolder(Frame& frame)
{
    while (frame.nextSubfolder < frame.listing.size()) {
        const std::size_t index = frame.nextSubfolder++;
        const FolderEntry entry = frame.listing[index];
        if (entry.error || entry.info.kind != EntryKind::Folder)
            continue;
        ++frame.examined;
        if (isExcludedByOption(entry.info.attributes, m_option)) {
            ++m_report.entriesExcluded;
            continue;
        }
        if (isClash(frame, index))
            continue;
        return index;
    }
    return std::nullopt;
}

Flow FolderTreeCopier::openSubfolder(Frame& parent, std::size_t index, std::optional<Frame>& child)
{
    const std::string name(parent.listing[index].name);
    auto childSource = parent.source->openFolder(name);
    if (childSource && isOnWalk((*childSource)->identity())) {
        // A link back up the walk, or the destination itself: entering it would not end.
        ++m_report.entriesExcluded;
        return Flow::Continue;
    }
    const std::uint32_t permissions
        = childSource ? (*childSource)->permissions() : DefaultFolderPermissions;
    std::optional<Destination> childDestination;
    if (openOrCreate(parent.destination, name, permissions, childDestination) == Flow::EndRow)
        return Flow::EndRow;
    if (!childSource)
        return fail(sourcePathOf(name), childSource.error(), FailedSide::Source);
    if (!childDestination)
        return Flow::Continue;
    child.emplace();
    child->source = std::move(*childSource);
    child->destination = std::move(*childDestination);
    m_sourcePath = sourcePathOf(name);
    m_destinationPath = destinationPathOf(name);
    child->sourcePathLength = m_sourcePath.size();
    child->destinationPathLength = m_destinationPath.size();
    return Flow::Continue;
}

Flow FolderTreeCopier::openOrCreate(Destination& parent, std::string_view name,
    std::uint32_t permissions, std::optional<Destination>& opened)
{
    if (!parent.folder) {
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    const std::optional<FolderEntry> listed
        = !parent.isNew && parent.entries ? parent.entries->find(name) : std::nullopt;
    if (listed && !listed->error && listed->info.kind == EntryKind::Link) {
        return fail(destinationPathOf(name), { FsErrorKind::LinkInDestination, "symbolic link" },
            FailedSide::Destination);
    }
    const bool known = parent.isNew || parent.entries;
    if (!known || listed) {
        auto found = parent.folder->openFolder(name);
        if (found) {
            opened = Destination { std::move(*found), std::nullopt, false };
            return Flow::Continue;
        }
        if (listed || found.error().kind != FsErrorKind::PathNotFound) {
            // A file in the folder's place: creating the folder would fail the same way.
            FsError error = found.error();
            if (error.kind == FsErrorKind::PathNotFound)
                error.kind = FsErrorKind::AlreadyExists;
            return fail(destinationPathOf(name), error, FailedSide::Destination);
        }
    }
    if (dryRun()) {
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    bool isNew = true;
    if (FsStatus failed = parent.folder->createFolder(name, permissions)) {
        // A folder that appeared meanwhile (another run) is used as it is.
        if (failed->kind != FsErrorKind::AlreadyExists)
            return fail(destinationPathOf(name), *failed, FailedSide::Destination);
        isNew = false;
    }
    auto made = parent.folder->openFolder(name);
    if (!made)
        return fail(destinationPathOf(name), made.error(), FailedSide::Destination);
    opened = Destination { std::move(*made), std::nullopt, isNew };
    return Flow::Continue;
}

Flow FolderTreeCopier::copyFile(
    OpenFolder& source, Destination& destination, const FolderEntry& entry)
{
    const std::string_view name = entry.name;
    // Two rounds at most: a file that appeared under the name meanwhile is compared anew.
    for (int round = 0; round < 2; ++round) {
        std::optional<EntryInfo> target;
        const std::optional<FolderEntry> listed
            = destination.entries && round == 0 ? destination.entries->find(name) : std::nullopt;
        const bool lookUp = destination.folder
            && (round > 0 || (!destination.isNew && !destination.entries)
                || (listed && listed->error));
        if (listed && !listed->error) {
            target = listed->info;
        } else if (lookUp) {
            auto found = destination.folder->stat(name);
            if (found) {
                target = *found;
            } else if (found.error().kind == FsErrorKind::PermissionDenied) {
                // The time cannot be compared, so the copy is attempted as if it were older;
                // a refused copy is recorded with its path below.
                m_report.CopyStatusFlags |= PermissionDeniedBit;
                target = EntryInfo {};
            } else if (found.error().kind != FsErrorKind::PathNotFound) {
                return fail(destinationPathOf(name), found.error(), FailedSide::Destination);
            }
        }
        if (target && target->kind == EntryKind::Link) {
            // NOTE: a link in the destination is never written through nor replaced.
            return fail(destinationPathOf(name),
                { FsErrorKind::LinkInDestination, "symbolic link" }, FailedSide::Destination);
        }
        if (target && target->kind == EntryKind::File
            && !isLater(entry.info, *target, *destination.folder)) {
            ++m_report.filesUpToDate;
            return Flow::Continue;
        }
        if (dryRun()) {
            // The refusals a copy would meet are foreseen; everything else counts as copied.
            if (target
                && (target->kind != EntryKind::File || (target->attributes & ReadOnlyAttribute)))
                fail(destinationPathOf(name),
                    { FsErrorKind::PermissionDenied, "read-only file, or a folder of that name" },
                    FailedSide::Destination);
            else {
                ++m_report.filesCopied;
                m_report.bytesCopied += entry.info.size;
            }
            fileDone(name, entry.info.size);
            return Flow::Continue;
        }
        auto copied = destination.folder->copyFileFrom(
            source, name, entry.info, target ? &*target : nullptr, m_stop);
        if (copied) {
            ++m_report.filesCopied;
            m_report.bytesCopied += *copied;
            fileDone(name, *copied);
            return Flow::Continue;
        }
        const FsError& error = copied.error();
        if (error.kind == FsErrorKind::Stopped) {
            // The file stopped part way stays as it was; the walk ends here.
            m_report.stopped = true;
            return Flow::Stop;
        }
        if (error.kind == FsErrorKind::AlreadyExists && !target)
            continue;
        // A copy names the side that failed; where it cannot tell, the source is named.
        const bool destinationFailed = error.side == FailedSide::Destination;
        const FailedSide side = destinationFailed ? FailedSide::Destination : FailedSide::Source;
        std::string path = destinationFailed ? destinationPathOf(name) : sourcePathOf(name);
        if (error.kind == FsErrorKind::PermissionDenied) {
            fail(std::move(path), error, side);
            fileDone(name, 0);
            return Flow::Continue;
        }
        if (error.kind == FsErrorKind::PathNotFound && !destinationFailed && !source.stat(name)) {
            // The source file went away since the listing: nothing is left to back up.
            return Flow::Continue;
        }
        return fail(std::move(path), error, side);
    }
    return Flow::Continue;
}

} // namespace

void CopyFolderTree(FileSystem& fs, std::string_view src, std::string_view dst, CopyOption option,
    CopyReport& report, const CopyProgress& progress, CopyMode mode, const StopRequest* stop)
{
    FolderTreeCopier copier(fs, option, report, progress, mode, stop);
    if (fs.fileExists(src))
        copier.copySingleFile(src, dst);
    else
        copier.copyTree(src, dst);
}

} // namespace rinvo
