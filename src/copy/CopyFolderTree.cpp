#include "CopyFolderTree.h"

#include "CopyThreads.h"
#include "DestinationIndex.h"
#include "EntryDecision.h"
#include "FileCopier.h"
#include "FolderEntering.h"
#include "Frame.h"
#include "ThreadedWalk.h"
#include "WalkContext.h"

#include "platform/PathRules.h"

#include <memory>
#include <vector>

namespace rinvo {

namespace {

// One thread's part of a row's walk: the steps it takes, and its own counts.
class WalkThread final : public WalkSteps
{
public:
    explicit WalkThread(WalkContext& walk)
        : m_entering(walk, m_tally)
        , m_copier(walk, m_tally)
    { }

    Flow copyFiles(
        const std::shared_ptr<const Frame>& frame, std::size_t first, std::size_t count) override
    {
        if (const Flow flow = m_copier.commitIfDue(); flow != Flow::Continue)
            return flow;
        return m_copier.copyFiles(frame, first, count);
    }

    // The copies this thread wrote take their names beside the other threads'.
    void walkEnded() override { m_copier.commitRest(); }

    Flow enterSubfolder(
        const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child) override
    {
        if (const Flow flow = m_copier.commitIfDue(); flow != Flow::Continue)
            return flow;
        Flow flow = m_entering.openSubfolder(parent, index, child);
        if (flow == Flow::Continue && child)
            flow = m_entering.enter(*child);
        return flow;
    }

    FolderEntering& entering() { return m_entering; }
    FileCopier& copier() { return m_copier; }
    const CopyReport& tally() const { return m_tally; }

private:
    CopyReport m_tally;
    FolderEntering m_entering;
    FileCopier m_copier;
};

// One row's copy: its set-up (the destination folder made and both roots opened), the walk,
// and its end (counts merged, failures in walk order, the copies flushed to the device).
class RowCopy
{
public:
    RowCopy(FileSystem& fs, const CopyRequest& request)
        : m_fs(fs)
        , m_request(request)
        , m_style(fs.pathStyle())
        , m_walk(fs, request)
        , m_main(m_walk)
    { }

    CopyReport copySingleFile();
    CopyReport copyTree();

private:
    // Makes the tree's destination root where it is missing, except in a dry run.
    FsStatus makeDestination(Frame& root, std::uint32_t permissions);
    void walkTree(std::unique_ptr<Frame> root);
    CopyReport finish();
    CopyReport failBeforeWalk(const std::string& path, const FsError& error, FailedSide side);

    FileSystem& m_fs;
    const CopyRequest& m_request;
    PathStyle m_style;
    WalkContext m_walk;
    // The calling thread's part of the walk; helper threads have theirs.
    WalkThread m_main;
    CopyReport m_report;
    bool m_indexStarted = false;
};

CopyReport RowCopy::copySingleFile()
{
    const std::string& src = m_request.source;
    auto info = m_fs.getInfo(src);
    if (!info)
        return failBeforeWalk(src, info.error(), FailedSide::Source);
    if (isLeftOut(*info, m_request.option)) {
        ++m_report.entriesExcluded;
        return m_report;
    }
    auto frame = std::make_shared<Frame>();
    frame->sourcePath = parentPath(src, m_style);
    frame->destinationPath = m_request.destination;
    m_walk.setDestinationRoot(frame->destinationPath, std::nullopt);
    auto sourceFolder = m_fs.openFolder(frame->sourcePath, FolderSide::Source);
    if (!sourceFolder)
        return failBeforeWalk(frame->sourcePath, sourceFolder.error(), FailedSide::Source);
    auto destinationFolder = m_fs.openFolder(frame->destinationPath, FolderSide::Destination);
    if (!destinationFolder) {
        return failBeforeWalk(
            frame->destinationPath, destinationFolder.error(), FailedSide::Destination);
    }
    frame->source = std::move(*sourceFolder);
    frame->destination = Destination { std::move(*destinationFolder), std::nullopt, false };
    // The file's entry: a listing of one, so a copy waiting for its name can find it.
    // The rule's own source may be a link: the user's choice, which the copy follows.
    const std::string name(lastComponent(src, m_style));
    info->linkTarget = EntryKind::File;
    frame->listing.add(name, *info);
    m_main.copier().copyFile(frame, 0, frame->listing[0]);
    return finish();
}

CopyReport RowCopy::copyTree()
{
    auto root = std::make_unique<Frame>();
    root->sourcePath = trimTrailingSeparator(m_request.source, m_style);
    root->destinationPath = trimTrailingSeparator(m_request.destination, m_style);
    m_walk.setDestinationRoot(root->destinationPath, std::nullopt);
    auto source = m_fs.openFolder(root->sourcePath, FolderSide::Source);
    const std::uint32_t permissions = source ? (*source)->permissions() : DefaultFolderPermissions;
    if (FsStatus failed = makeDestination(*root, permissions))
        return failBeforeWalk(root->destinationPath, *failed, FailedSide::Destination);
    if (!source)
        return failBeforeWalk(root->sourcePath, source.error(), FailedSide::Source);
    if (root->destination.isNew && m_walk.dryRun()) {
        // A dry run makes nothing: everything below the destination would be new.
    } else if (auto opened = m_fs.openFolder(root->destinationPath, FolderSide::Destination)) {
        root->destination.folder = std::move(*opened);
        m_walk.setDestinationRoot(root->destinationPath, root->destination.folder->identity());
        if (DestinationIndex* index = m_walk.index()) {
            OpenFolder& folder = *root->destination.folder;
            index->startRun(
                folder.identity(), folder.volume(), secondsSince1970(), m_request.fullPass);
            m_indexStarted = true;
        }
    } else {
        return failBeforeWalk(root->destinationPath, opened.error(), FailedSide::Destination);
    }
    root->source = std::move(*source);
    root->walked = std::make_shared<WalkedFolder>(WalkedFolder { root->source->identity(), {} });
    walkTree(std::move(root));
    return m_report;
}

FsStatus RowCopy::makeDestination(Frame& root, std::uint32_t permissions)
{
    const std::string& dst = m_request.destination;
    if (m_fs.folderExists(dst))
        return std::nullopt;
    root.destination.isNew = true;
    if (m_walk.dryRun())
        return std::nullopt;
    FsStatus failed = m_fs.createFolder(dst, permissions);
    // Another run that made the folder meanwhile leaves it ready for this one too.
    if (failed && failed->kind == FsErrorKind::AlreadyExists && m_fs.folderExists(dst)) {
        root.destination.isNew = false;
        return std::nullopt;
    }
    // Every later step needs the folder, so a failure ends the row.
    return failed;
}

void RowCopy::walkTree(std::unique_ptr<Frame> root)
{
    const std::shared_ptr<Frame> rootFrame = std::move(root);
    const Flow flow = m_main.entering().enter(*rootFrame);
    if (flow == Flow::EndRow)
        m_report.entriesNotExamined += rootFrame->unexamined();
    if (flow == Flow::Continue && rootFrame->hasWorkLeft()) {
        // A dry run lists what it would copy in walk order, so it walks on one thread; it only
        // reads, which is quick enough so.
        const unsigned count = m_walk.dryRun() ? 1 : copyThreadCount(m_request.threads);
        std::vector<std::unique_ptr<WalkThread>> helpers;
        std::vector<WalkSteps*> threads { &m_main };
        for (unsigned i = 1; i < count; ++i)
            threads.push_back(helpers.emplace_back(std::make_unique<WalkThread>(m_walk)).get());
        m_report.entriesNotExamined += walkBelow(rootFrame, threads);
        for (const auto& helper : helpers)
            m_report.merge(helper->tally());
    }
    finish();
}

CopyReport RowCopy::finish()
{
    // Files that did not fit are tried once more, now that nothing else fills the volume.
    for (const auto& [frame, index] : m_walk.takeDeferred()) {
        if (stopRequested(m_request.stop))
            break;
        if (m_walk.rowEnded())
            ++m_report.entriesNotExamined;
        else
            m_main.copier().retryForSpace(frame, index);
    }
    // The copies still waiting take their names, stopped or not: their data is whole.
    m_main.copier().commitRest();
    m_report.merge(m_main.tally());
    m_walk.moveFailuresInto(m_report);
    m_report.endedByDestination = m_walk.rowEnded();
    // A walk through the whole tree reached every folder the index should keep.
    if (m_indexStarted && !m_report.stopped && !m_walk.rowEnded())
        m_walk.index()->dropUnseen();
    // NOTE: the names the batches gave are written out once more on every file system the row
    // wrote to (a drive mounted inside the destination too), so a backup reported as done
    // survives a crash or a drive pulled right after. A row already ended by its destination
    // has said why; a failing flush adds nothing.
    FsStatus failedFlush;
    for (const auto& frame : m_walk.foldersWrittenTo()) {
        if (FsStatus failed = frame->destination.folder->flushToDevice(); failed && !failedFlush)
            failedFlush = std::move(failed);
    }
    if (failedFlush && !m_walk.rowEnded()) {
        failedFlush->side = FailedSide::Destination;
        m_walk.tellFailure(m_walk.destinationRootPath(), *failedFlush);
        m_report.addFailure(m_walk.destinationRootPath(), std::move(*failedFlush));
    }
    return m_report;
}

CopyReport RowCopy::failBeforeWalk(const std::string& path, const FsError& error, FailedSide side)
{
    m_walk.fail({}, path, error, side);
    return finish();
}

} // namespace

CopyReport CopyFolderTree(FileSystem& fs, const CopyRequest& request)
{
    RowCopy row(fs, request);
    if (fs.fileExists(request.source))
        return row.copySingleFile();
    return row.copyTree();
}

} // namespace rinvo
