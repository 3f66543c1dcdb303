#include "CopyFolderTree.h"

#include "CaseClashes.h"
#include "CopyThreads.h"
#include "WalkOrder.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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

// A folder on the way from the walk's root down to the folder being walked: what a subfolder
// must not be, or the walk would not end.
struct WalkedFolder
{
    FolderIdentity identity;
    std::shared_ptr<const WalkedFolder> parent;
};

// One folder on the walk: both sides, the source's entries, and the files still to copy and
// subfolders still to enter.
struct Frame
{
    std::unique_ptr<OpenFolder> source;
    Destination destination;
    FolderListing listing;
    // Entries that a case-folding destination cannot hold beside an earlier name.
    std::vector<CaseClash> clashes;
    // The listing positions of the files whose copy is still to be tried, and how many of them
    // have been handed out; they all come before the first subfolder.
    std::vector<std::uint32_t> files;
    std::size_t nextFile = 0;
    // The threads copying some of those files now.
    unsigned copiers = 0;
    // The listing positions of the subfolders to enter, and how many have been handed out.
    std::vector<std::uint32_t> subfolders;
    std::size_t nextSubfolder = 0;
    // Entries dealt with so far: files and subfolders left out or handed out.
    std::size_t examined = 0;
    std::string sourcePath;
    std::string destinationPath;
    // Where the folder comes in a one-thread walk, so its failures can be put in that order.
    WalkPlace place;
    std::shared_ptr<const WalkedFolder> walked;

    bool hasFilesLeft() const { return nextFile < files.size(); }
    bool hasSubfoldersLeft() const { return nextSubfolder < subfolders.size(); }
    bool hasWorkLeft() const { return hasFilesLeft() || hasSubfoldersLeft(); }
    std::size_t unexamined() const { return listing.size() - examined; }
};

class FolderTreeCopier;

// What one thread takes from the walk at a time: some of a folder's files, or one subfolder.
struct Task
{
    std::shared_ptr<Frame> frame;
    std::size_t firstFile = 0;
    std::size_t files = 0;
    std::size_t subfolder = 0;
};

// One thread's part of a walk: it enters the folders it is handed and copies their files,
// keeping its counts in its own tally; failures go to the walk's ordered list.
class Walker
{
public:
    Walker(FolderTreeCopier& copier, CopyReport& tally);

    Flow enterFolder(Frame& frame);
    Flow openSubfolder(const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child);
    // Copies the frame's files from 'first' on, 'count' of them, in the listing's order.
    Flow copyFiles(const Frame& frame, std::size_t first, std::size_t count);
    Flow copyFile(const Frame& frame, std::size_t index, const FolderEntry& entry);
    // Records a failure of one entry; one that shows the destination unusable ends the row.
    Flow fail(WalkPlace place, std::string path, FsError error, FailedSide side);

private:
    bool dryRun() const;
    void findFiles(Frame& frame);
    bool isUpToDateByListing(const Frame& frame, const FolderEntry& entry);
    void findSubfolders(Frame& frame);
    Flow openOrCreate(const Frame& parent, std::size_t index, std::uint32_t permissions,
        std::optional<Destination>& opened);
    bool isLater(const EntryInfo& source, const EntryInfo& target, OpenFolder& destination);
    bool isClash(const Frame& frame, std::size_t index, const WalkPlace& place);
    // Ends the walk at a user's request, or once another thread has ended the row.
    Flow stopIfAsked();
    std::string sourcePathOf(const Frame& frame, std::string_view name) const;
    std::string destinationPathOf(const Frame& frame, std::string_view name) const;

    FolderTreeCopier& m_copier;
    CopyReport& m_tally;
};

class FolderTreeCopier
{
public:
    FolderTreeCopier(FileSystem& fs, CopyOption option, CopyReport& report,
        const CopyProgress& progress, CopyMode mode, const StopRequest* stop, unsigned threads)
        : m_fs(fs)
        , m_option(option)
        , m_report(report)
        , m_progress(progress)
        , m_mode(mode)
        , m_stop(stop)
        , m_style(fs.pathStyle())
        , m_threads(threads)
    { }

    void copySingleFile(std::string_view src, std::string_view dst);
    void copyTree(std::string_view src, std::string_view dst);

private:
    friend class Walker;

    bool dryRun() const { return m_mode == CopyMode::DryRun; }
    void walk(std::unique_ptr<Frame> root);
    // Runs one thread's part: takes the next files to copy or subfolder to enter until none is
    // left anywhere.
    void work(CopyReport& tally);
    // Hands out the next task; called with the work lock held and some folder waiting.
    Task takeTask();
    // How many of a folder's files one thread takes at a time: few when they are few, so that
    // every thread gets some, more when they are many, so that handing out costs little.
    std::size_t fileBatch(const Frame& frame) const;
    void fileDone(const Frame& frame, std::string_view name, std::uint64_t bytes);
    bool isOnWalk(const Frame& parent, const FolderIdentity& id) const;
    bool rowEnded() const { return m_rowEnded.load(std::memory_order_relaxed); }
    Flow endRow(WalkPlace place, FsError error);
    void flushIfCopied(OpenFolder* destination, std::uint64_t copiedBefore);

    FileSystem& m_fs;
    CopyOption m_option;
    CopyReport& m_report;
    const CopyProgress& m_progress;
    CopyMode m_mode;
    const StopRequest* m_stop;
    PathStyle m_style;
    unsigned m_threads;
    std::string m_destinationRootPath;
    std::optional<FolderIdentity> m_destinationRoot;
    OrderedFailures m_failures;
    std::atomic<bool> m_rowEnded { false };
    std::mutex m_progressMutex;

    // NOTE: folders with files still to copy or subfolders still to enter wait on a stack; a
    // free thread takes its work from the folder most recently offered that has some for it,
    // so the threads go depth first as a one-thread walk does, and the folders held open stay
    // about the tree's depth times the number of threads, however wide or large the tree.
    std::mutex m_workMutex;
    std::condition_variable m_workChanged;
    std::vector<std::shared_ptr<Frame>> m_waiting;
    unsigned m_busy = 0;
    bool m_ending = false;
};

Walker::Walker(FolderTreeCopier& copier, CopyReport& tally)
    : m_copier(copier)
    , m_tally(tally)
{ }

bool Walker::dryRun() const
{
    return m_copier.dryRun();
}

std::string Walker::sourcePathOf(const Frame& frame, std::string_view name) const
{
    return joinPath(frame.sourcePath, name, m_copier.m_style);
}

std::string Walker::destinationPathOf(const Frame& frame, std::string_view name) const
{
    return joinPath(frame.destinationPath, name, m_copier.m_style);
}

void FolderTreeCopier::fileDone(const Frame& frame, std::string_view name, std::uint64_t bytes)
{
    if (!m_progress)
        return;
    // The display is told of one file at a time, whichever thread copied it.
    std::lock_guard lock(m_progressMutex);
    m_progress(frame.sourcePath, name, bytes);
}

Flow Walker::stopIfAsked()
{
    if (m_copier.rowEnded())
        return Flow::EndRow;
    if (!stopRequested(m_copier.m_stop))
        return Flow::Continue;
    m_tally.stopped = true;
    return Flow::Stop;
}

Flow Walker::fail(WalkPlace place, std::string path, FsError error, FailedSide side)
{
    if (side == FailedSide::Destination && showsVolumeUnusable(error))
        return m_copier.endRow(std::move(place), std::move(error));
    error.side = side;
    m_copier.m_failures.add(std::move(place), std::move(path), std::move(error));
    return Flow::Continue;
}

Flow FolderTreeCopier::endRow(WalkPlace place, FsError error)
{
    // NOTE: one line names the destination and the reason, rather than one failure for each
    // entry still to come: the whole destination is gone, full or read-only. Of several
    // threads that meet it at once, the first says so.
    if (!m_rowEnded.exchange(true)) {
        error.side = FailedSide::Destination;
        m_failures.add(std::move(place), m_destinationRootPath, std::move(error));
    }
    return Flow::EndRow;
}

void FolderTreeCopier::flushIfCopied(OpenFolder* destination, std::uint64_t copiedBefore)
{
    // NOTE: one flush per row rather than one per file: a per-file flush costs more than
    // copying a small file, and the copies only have to be safe once the row is reported done.
    if (dryRun() || !destination || m_report.filesCopied == copiedBefore)
        return;
    // A row already ended by its destination has said why; a failing flush adds nothing.
    if (FsStatus failed = destination->flushToDevice(); failed && !rowEnded()) {
        failed->side = FailedSide::Destination;
        m_report.addFailure(m_destinationRootPath, std::move(*failed));
    }
}

bool FolderTreeCopier::isOnWalk(const Frame& parent, const FolderIdentity& id) const
{
    for (const WalkedFolder* folder = parent.walked.get(); folder; folder = folder->parent.get()) {
        if (folder->identity == id)
            return true;
    }
    return m_destinationRoot && *m_destinationRoot == id;
}

bool Walker::isLater(const EntryInfo& source, const EntryInfo& target, OpenFolder& destination)
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

bool Walker::isClash(const Frame& frame, std::size_t index, const WalkPlace& place)
{
    auto found = std::lower_bound(frame.clashes.begin(), frame.clashes.end(), index,
        [](const CaseClash& clash, std::size_t key) { return clash.later < key; });
    if (found == frame.clashes.end() || found->later != index)
        return false;
    FsError error { FsErrorKind::NameDiffersOnlyInCase,
        std::string(frame.listing[found->earlier].name), FailedSide::Source };
    m_copier.m_failures.add(
        place, sourcePathOf(frame, frame.listing[index].name), std::move(error));
    return true;
}

void FolderTreeCopier::copySingleFile(std::string_view src, std::string_view dst)
{
    CopyReport tally;
    Walker walker(*this, tally);
    auto info = m_fs.getInfo(src);
    if (!info) {
        m_report.addFailure(std::string(src), info.error());
        return;
    }
    if (isExcludedByOption(info->attributes, m_option)) {
        ++m_report.entriesExcluded;
        return;
    }
    Frame frame;
    frame.sourcePath = parentPath(src, m_style);
    frame.destinationPath = std::string(dst);
    m_destinationRootPath = frame.destinationPath;
    auto sourceFolder = m_fs.openFolder(frame.sourcePath, FolderSide::Source);
    auto destinationFolder = sourceFolder
        ? m_fs.openFolder(frame.destinationPath, FolderSide::Destination)
        : FsResult<std::unique_ptr<OpenFolder>>(FsError {});
    if (!sourceFolder) {
        walker.fail({}, frame.sourcePath, sourceFolder.error(), FailedSide::Source);
    } else if (!destinationFolder) {
        walker.fail({}, frame.destinationPath, destinationFolder.error(), FailedSide::Destination);
    } else {
        frame.source = std::move(*sourceFolder);
        frame.destination = Destination { std::move(*destinationFolder), std::nullopt, false };
        const std::string name(lastComponent(src, m_style));
        walker.copyFile(frame, 0, FolderEntry { name, *info, nullptr });
    }
    const std::uint64_t copiedBefore = m_report.filesCopied;
    m_report.merge(tally);
    m_failures.moveInto(m_report);
    flushIfCopied(frame.destination.folder.get(), copiedBefore);
}

void FolderTreeCopier::copyTree(std::string_view src, std::string_view dst)
{
    auto root = std::make_unique<Frame>();
    root->sourcePath = trimTrailingSeparator(src, m_style);
    root->destinationPath = trimTrailingSeparator(dst, m_style);
    m_destinationRootPath = root->destinationPath;
    auto source = m_fs.openFolder(root->sourcePath, FolderSide::Source);
    const std::uint32_t permissions = source ? (*source)->permissions() : DefaultFolderPermissions;

    CopyReport tally;
    Walker walker(*this, tally);
    auto failBeforeWalk = [&](const std::string& path, const FsError& error, FailedSide side) {
        walker.fail({}, path, error, side);
        m_report.merge(tally);
        m_failures.moveInto(m_report);
    };
    if (!m_fs.folderExists(dst)) {
        if (dryRun()) {
            root->destination.isNew = true;
        } else if (FsStatus failed = m_fs.createFolder(dst, permissions)) {
            // Another run that made the folder meanwhile leaves it ready for this one too.
            if (failed->kind != FsErrorKind::AlreadyExists || !m_fs.folderExists(dst)) {
                // Every later step needs the folder, so the row ends here.
                failBeforeWalk(root->destinationPath, *failed, FailedSide::Destination);
                return;
            }
        } else {
            root->destination.isNew = true;
        }
    }
    if (!source) {
        failBeforeWalk(root->sourcePath, source.error(), FailedSide::Source);
        return;
    }
    if (!(dryRun() && root->destination.isNew)) {
        auto opened = m_fs.openFolder(root->destinationPath, FolderSide::Destination);
        if (!opened) {
            failBeforeWalk(root->destinationPath, opened.error(), FailedSide::Destination);
            return;
        }
        root->destination.folder = std::move(*opened);
        // NOTE: a destination inside its own source is never walked as source, so the copy
        // cannot feed on itself.
        m_destinationRoot = root->destination.folder->identity();
    }
    root->source = std::move(*source);
    root->walked = std::make_shared<WalkedFolder>(WalkedFolder { root->source->identity(), {} });
    walk(std::move(root));
}

void FolderTreeCopier::walk(std::unique_ptr<Frame> root)
{
    const std::uint64_t copiedBefore = m_report.filesCopied;
    // The root stays open for the flush after the walk.
    const std::shared_ptr<Frame> rootFrame = std::move(root);
    {
        CopyReport tally;
        Walker walker(*this, tally);
        const Flow flow = walker.enterFolder(*rootFrame);
        if (flow == Flow::EndRow)
            tally.entriesNotExamined += rootFrame->unexamined();
        if (flow == Flow::Continue && rootFrame->hasWorkLeft())
            m_waiting.push_back(rootFrame);
        m_report.merge(tally);
    }
    if (!m_waiting.empty()) {
        std::vector<CopyReport> tallies(std::max(1u, m_threads));
        std::vector<std::thread> helpers;
        for (std::size_t i = 1; i < tallies.size(); ++i)
            helpers.emplace_back([this, &tally = tallies[i]] { work(tally); });
        work(tallies[0]);
        for (std::thread& helper : helpers)
            helper.join();
        for (const CopyReport& tally : tallies)
            m_report.merge(tally);
    }
    if (rowEnded()) {
        for (const auto& frame : m_waiting)
            m_report.entriesNotExamined += frame->unexamined();
    }
    // A stopped walk counts nothing as unexamined: the user knows the run was cut short.
    m_waiting.clear();
    m_failures.moveInto(m_report);
    flushIfCopied(rootFrame->destination.folder.get(), copiedBefore);
}

std::size_t FolderTreeCopier::fileBatch(const Frame& frame) const
{
    constexpr std::size_t MostFilesAtOnce = 64;
    const std::size_t left = frame.files.size() - frame.nextFile;
    return std::clamp<std::size_t>(left / (2 * std::size_t { m_threads }), 1, MostFilesAtOnce);
}

Task FolderTreeCopier::takeTask()
{
    // NOTE: a folder's files go to one thread while other work waits: creating and renaming in
    // one folder takes the folder's lock, which on a network share is held for a round trip,
    // so threads spread over several folders wait less than threads crowding into one. Only
    // when no folder waits to be entered do more threads join a folder's copying.
    auto chosen = m_waiting.end();
    bool filesChosen = false;
    for (auto place = m_waiting.end(); place != m_waiting.begin();) {
        --place;
        const Frame& frame = **place;
        if (frame.hasFilesLeft() && frame.copiers == 0) {
            chosen = place;
            filesChosen = true;
            break;
        }
        if (frame.hasSubfoldersLeft()) {
            chosen = place;
            filesChosen = false;
            break;
        }
        if (chosen == m_waiting.end()) {
            chosen = place;
            filesChosen = true;
        }
    }
    Frame& frame = **chosen;
    Task task { *chosen };
    if (filesChosen) {
        task.firstFile = frame.nextFile;
        task.files = fileBatch(frame);
        frame.nextFile += task.files;
        frame.examined += task.files;
        ++frame.copiers;
    } else {
        task.subfolder = frame.subfolders[frame.nextSubfolder++];
        ++frame.examined;
    }
    if (!frame.hasWorkLeft())
        m_waiting.erase(chosen);
    return task;
}

void FolderTreeCopier::work(CopyReport& tally)
{
    Walker walker(*this, tally);
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_workMutex);
            m_workChanged.wait(
                lock, [this] { return m_ending || !m_waiting.empty() || m_busy == 0; });
            if (m_ending || m_waiting.empty()) {
                // Nothing waits and no thread is entering a folder that could add some.
                m_workChanged.notify_all();
                return;
            }
            task = takeTask();
            ++m_busy;
        }
        std::unique_ptr<Frame> child;
        Flow flow = Flow::Continue;
        if (task.files > 0) {
            flow = walker.copyFiles(*task.frame, task.firstFile, task.files);
        } else {
            flow = walker.openSubfolder(*task.frame, task.subfolder, child);
            if (flow == Flow::Continue && child)
                flow = walker.enterFolder(*child);
            if (flow == Flow::EndRow && child)
                tally.entriesNotExamined += child->unexamined();
        }
        {
            std::lock_guard lock(m_workMutex);
            --m_busy;
            if (task.files > 0)
                --task.frame->copiers;
            if (flow != Flow::Continue)
                m_ending = true;
            else if (child && child->hasWorkLeft())
                m_waiting.push_back(std::move(child));
        }
        task.frame.reset();
        m_workChanged.notify_all();
    }
}

Flow Walker::enterFolder(Frame& frame)
{
    Destination& destination = frame.destination;
    FsResult<FolderListing> sourceListing = frame.source->list();
    if (sourceListing)
        frame.listing = std::move(*sourceListing);
    if (!destination.isNew && destination.folder) {
        // A destination that could not be listed is looked up name by name instead.
        FsResult<FolderListing> destinationListing = destination.folder->list();
        if (destinationListing)
            destination.entries = std::move(*destinationListing);
        else if (showsVolumeUnusable(destinationListing.error()))
            return m_copier.endRow(folderPlace(frame.place), destinationListing.error());
    }
    if (!sourceListing)
        return fail(
            folderPlace(frame.place), frame.sourcePath, sourceListing.error(), FailedSide::Source);
    // Only where two names of this folder fold together is the destination asked whether it
    // folds case; a dry run writes no probe and takes it as case-sensitive.
    if (!dryRun() && destination.folder) {
        frame.clashes = findCaseClashes(frame.listing, [&](std::size_t index) {
            const FolderEntry entry = frame.listing[index];
            return !entry.error && entry.info.kind != EntryKind::Special
                && !isExcludedByOption(entry.info.attributes, m_copier.m_option);
        });
        if (!frame.clashes.empty() && !destination.folder->foldsCase())
            frame.clashes.clear();
    }
    findFiles(frame);
    findSubfolders(frame);
    return Flow::Continue;
}

void Walker::findFiles(Frame& frame)
{
    // NOTE: only the files whose copy must be tried are handed out to the threads; what the
    // listings settle (up to date, left out, failed) is counted here, where it costs nothing.
    for (std::size_t i = 0; i < frame.listing.size(); ++i) {
        const FolderEntry entry = frame.listing[i];
        if (!entry.error && entry.info.kind == EntryKind::Folder)
            continue;
        if (entry.error) {
            // An entry that cannot be looked at is left out; the folder goes on.
            fail(filePlace(frame.place, i), sourcePathOf(frame, entry.name), *entry.error,
                FailedSide::Source);
        } else if (isExcludedByOption(entry.info.attributes, m_copier.m_option)
            || entry.info.kind == EntryKind::Special) {
            ++m_tally.entriesExcluded;
        } else if (isClash(frame, i, filePlace(frame.place, i))) {
            // Recorded as a failure by the check itself.
        } else if (isUpToDateByListing(frame, entry)) {
            ++m_tally.filesUpToDate;
        } else {
            frame.files.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        ++frame.examined;
    }
}

bool Walker::isUpToDateByListing(const Frame& frame, const FolderEntry& entry)
{
    const Destination& destination = frame.destination;
    if (!destination.entries)
        return false;
    const std::optional<FolderEntry> listed = destination.entries->find(entry.name);
    return listed && !listed->error && listed->info.kind == EntryKind::File
        && !isLater(entry.info, listed->info, *destination.folder);
}

Flow Walker::copyFiles(const Frame& frame, std::size_t first, std::size_t count)
{
    const std::size_t end = first + count;
    for (std::size_t next = first; next < end; ++next) {
        if (const Flow stop = stopIfAsked(); stop != Flow::Continue) {
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

void Walker::findSubfolders(Frame& frame)
{
    for (std::size_t index = 0; index < frame.listing.size(); ++index) {
        const FolderEntry entry = frame.listing[index];
        if (entry.error || entry.info.kind != EntryKind::Folder)
            continue;
        if (isExcludedByOption(entry.info.attributes, m_copier.m_option)) {
            ++frame.examined;
            ++m_tally.entriesExcluded;
        } else if (isClash(frame, index, subfolderPlace(frame.place, index))) {
            ++frame.examined;
        } else {
            frame.subfolders.push_back(static_cast<std::uint32_t>(index));
        }
    }
}

Flow Walker::openSubfolder(const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child)
{
    const std::string name(parent.listing[index].name);
    const WalkPlace place = subfolderPlace(parent.place, index);
    auto childSource = parent.source->openFolder(name);
    const FolderIdentity identity = childSource ? (*childSource)->identity() : FolderIdentity {};
    if (childSource && m_copier.isOnWalk(parent, identity)) {
        // A link back up the walk, or the destination itself: entering it would not end.
        ++m_tally.entriesExcluded;
        return Flow::Continue;
    }
    const std::uint32_t permissions
        = childSource ? (*childSource)->permissions() : DefaultFolderPermissions;
    std::optional<Destination> childDestination;
    if (openOrCreate(parent, index, permissions, childDestination) == Flow::EndRow)
        return Flow::EndRow;
    if (!childSource)
        return fail(place, sourcePathOf(parent, name), childSource.error(), FailedSide::Source);
    if (!childDestination)
        return Flow::Continue;
    child = std::make_unique<Frame>();
    child->source = std::move(*childSource);
    child->destination = std::move(*childDestination);
    child->sourcePath = sourcePathOf(parent, name);
    child->destinationPath = destinationPathOf(parent, name);
    child->place = place;
    child->walked = std::make_shared<WalkedFolder>(WalkedFolder { identity, parent.walked });
    return Flow::Continue;
}

Flow Walker::openOrCreate(const Frame& parent, std::size_t index, std::uint32_t permissions,
    std::optional<Destination>& opened)
{
    const Destination& destination = parent.destination;
    const std::string_view name = parent.listing[index].name;
    if (!destination.folder) {
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    const WalkPlace place = subfolderPlace(parent.place, index);
    const std::optional<FolderEntry> listed = !destination.isNew && destination.entries
        ? destination.entries->find(name)
        : std::nullopt;
    if (listed && !listed->error && listed->info.kind == EntryKind::Link) {
        return fail(place, destinationPathOf(parent, name),
            { FsErrorKind::LinkInDestination, "symbolic link" }, FailedSide::Destination);
    }
    const bool known = destination.isNew || destination.entries;
    if (!known || listed) {
        auto found = destination.folder->openFolder(name);
        if (found) {
            opened = Destination { std::move(*found), std::nullopt, false };
            return Flow::Continue;
        }
        if (listed || found.error().kind != FsErrorKind::PathNotFound) {
            // A file in the folder's place: creating the folder would fail the same way.
            FsError error = found.error();
            if (error.kind == FsErrorKind::PathNotFound)
                error.kind = FsErrorKind::AlreadyExists;
            return fail(place, destinationPathOf(parent, name), error, FailedSide::Destination);
        }
    }
    if (dryRun()) {
        opened = Destination { nullptr, std::nullopt, true };
        return Flow::Continue;
    }
    bool isNew = true;
    if (FsStatus failed = destination.folder->createFolder(name, permissions)) {
        // A folder that appeared meanwhile (another run) is used as it is.
        if (failed->kind != FsErrorKind::AlreadyExists)
            return fail(place, destinationPathOf(parent, name), *failed, FailedSide::Destination);
        isNew = false;
    }
    auto made = destination.folder->openFolder(name);
    if (!made)
        return fail(place, destinationPathOf(parent, name), made.error(), FailedSide::Destination);
    opened = Destination { std::move(*made), std::nullopt, isNew };
    return Flow::Continue;
}

Flow Walker::copyFile(const Frame& frame, std::size_t index, const FolderEntry& entry)
{
    OpenFolder& source = *frame.source;
    const Destination& destination = frame.destination;
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
                m_tally.CopyStatusFlags |= PermissionDeniedBit;
                target = EntryInfo {};
            } else if (found.error().kind != FsErrorKind::PathNotFound) {
                return fail(filePlace(frame.place, index), destinationPathOf(frame, name),
                    found.error(), FailedSide::Destination);
            }
        }
        if (target && target->kind == EntryKind::Link) {
            // NOTE: a link in the destination is never written through nor replaced.
            return fail(filePlace(frame.place, index), destinationPathOf(frame, name),
                { FsErrorKind::LinkInDestination, "symbolic link" }, FailedSide::Destination);
        }
        if (target && target->kind == EntryKind::File
            && !isLater(entry.info, *target, *destination.folder)) {
            ++m_tally.filesUpToDate;
            return Flow::Continue;
        }
        if (dryRun()) {
            // The refusals a copy would meet are foreseen; everything else counts as copied.
            if (target
                && (target->kind != EntryKind::File || (target->attributes & ReadOnlyAttribute)))
                fail(filePlace(frame.place, index), destinationPathOf(frame, name),
                    { FsErrorKind::PermissionDenied, "read-only file, or a folder of that name" },
                    FailedSide::Destination);
            else {
                ++m_tally.filesCopied;
                m_tally.bytesCopied += entry.info.size;
            }
            m_copier.fileDone(frame, name, entry.info.size);
            return Flow::Continue;
        }
        auto copied = destination.folder->copyFileFrom(
            source, name, entry.info, target ? &*target : nullptr, m_copier.m_stop);
        if (copied) {
            ++m_tally.filesCopied;
            m_tally.bytesCopied += *copied;
            m_copier.fileDone(frame, name, *copied);
            return Flow::Continue;
        }
        const FsError& error = copied.error();
        if (error.kind == FsErrorKind::Stopped) {
            // The file stopped part way stays as it was; the walk ends here.
            m_tally.stopped = true;
            return Flow::Stop;
        }
        if (error.kind == FsErrorKind::AlreadyExists && !target)
            continue;
        // A copy names the side that failed; where it cannot tell, the source is named.
        const bool destinationFailed = error.side == FailedSide::Destination;
        const FailedSide side = destinationFailed ? FailedSide::Destination : FailedSide::Source;
        std::string path
            = destinationFailed ? destinationPathOf(frame, name) : sourcePathOf(frame, name);
        if (error.kind == FsErrorKind::PermissionDenied) {
            fail(filePlace(frame.place, index), std::move(path), error, side);
            m_copier.fileDone(frame, name, 0);
            return Flow::Continue;
        }
        if (error.kind == FsErrorKind::PathNotFound && !destinationFailed && !source.stat(name)) {
            // The source file went away since the listing: nothing is left to back up.
            return Flow::Continue;
        }
        return fail(filePlace(frame.place, index), std::move(path), error, side);
    }
    return Flow::Continue;
}

} // namespace

void CopyFolderTree(FileSystem& fs, std::string_view src, std::string_view dst, CopyOption option,
    CopyReport& report, const CopyProgress& progress, CopyMode mode, const StopRequest* stop,
    unsigned threads)
{
    // A dry run lists what it would copy in walk order, so it walks on one thread; it only
    // reads, which is quick enough so.
    const unsigned walkers = mode == CopyMode::DryRun ? 1 : copyThreadCount(threads);
    FolderTreeCopier copier(fs, option, report, progress, mode, stop, walkers);
    if (fs.fileExists(src))
        copier.copySingleFile(src, dst);
    else
        copier.copyTree(src, dst);
}

} // namespace rinvo
