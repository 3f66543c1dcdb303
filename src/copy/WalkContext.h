#pragma once

#include "CopyRequest.h"
#include "WalkOrder.h"

#include "platform/FileSystem.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

struct Frame;

/// Whether the walk goes on after a step, or the row ends: its destination is unusable, or the
/// user asked to stop.
enum class Flow {
    Continue,
    EndRow,
    Stop,
};

/// What every thread of one row's walk shares: the request, the failures in walk order, and
/// whether the row has ended. Safe to use from every thread of the walk.
class WalkContext
{
public:
    WalkContext(FileSystem& fs, const CopyRequest& request);

    FileSystem& fs() const { return m_fs; }
    const CopyRequest& request() const { return m_request; }
    bool dryRun() const { return m_request.mode == CopyMode::DryRun; }
    /// The index of the destination this walk uses and keeps up to date; null in a dry run.
    DestinationIndex* index() const { return dryRun() ? nullptr : m_request.index; }
    /// The folder's path below the destination root, as the index names it.
    std::string_view indexName(const Frame& frame) const;
    /// The device of the destination root, or one no folder has where it is not open.
    std::uint64_t destinationRootDevice() const
    {
        return m_destinationRoot ? m_destinationRoot->device : ~std::uint64_t(0);
    }
    std::string sourcePathOf(const Frame& frame, std::string_view name) const;
    std::string destinationPathOf(const Frame& frame, std::string_view name) const;

    /// Sets the row's destination folder: the path a line about it names, and its identity,
    /// which the walk never enters as source (none in a dry run of a new destination).
    void setDestinationRoot(std::string path, std::optional<FolderIdentity> identity);
    const std::string& destinationRootPath() const { return m_destinationRootPath; }
    /// Tells whether entering a folder of this identity below 'parent' would not end: it is on
    /// the way down to 'parent', or it is the destination.
    bool isOnWalk(const Frame& parent, const FolderIdentity& identity) const;

    /// Records a failure of one entry; one that shows the destination unusable ends the row.
    Flow fail(WalkPlace place, std::string path, FsError error, FailedSide side);
    /// Records a failure that never ends the row.
    void note(WalkPlace place, std::string path, FsError error);
    /// Ends the row with one line naming its destination and the reason.
    Flow endRow(WalkPlace place, FsError error);
    /// Tells the request's failure sink of a failure the report gets by another way.
    void tellFailure(std::string_view path, const FsError& error);
    bool rowEnded() const { return m_rowEnded.load(std::memory_order_relaxed); }
    /// Tells whether the walk goes on: not once the row has ended or the user asked to stop,
    /// which is noted in the thread's tally.
    Flow checkStop(CopyReport& tally) const;

    /// Tells the progress of a file copied, or refused as read-only, one at a time.
    void fileDone(const Frame& frame, std::string_view name, std::uint64_t bytes,
        FileOutcome outcome = FileOutcome::Copied);
    /// Adds the failures to the report in walk order.
    void moveFailuresInto(CopyReport& report) { m_failures.moveInto(report); }

    /// Remembers a file that did not fit, to be tried once more at the row's end, when no other
    /// copy fills the volume for a moment; false when too many wait already.
    bool deferForSpace(const std::shared_ptr<const Frame>& frame, std::size_t index);
    /// Returns the files deferred for space, in no particular order.
    std::vector<std::pair<std::shared_ptr<const Frame>, std::size_t>> takeDeferred();

    /// Marks a file system whose flush failed: no later copy on it takes its name, since a
    /// failed write-back is told to one flush only.
    void markFlushFailed(std::uint64_t device);
    bool flushFailed(std::uint64_t device) const;

    /// Notes a folder a copy was written to; one open folder is kept per file system.
    void noteWrittenTo(const std::shared_ptr<const Frame>& frame);
    /// Returns an open folder on each file system the row wrote copies to.
    std::vector<std::shared_ptr<const Frame>> foldersWrittenTo() const;

private:
    // Keeps a failure for the report and tells the request's sink at once.
    void record(WalkPlace place, std::string path, FsError error);

    FileSystem& m_fs;
    const CopyRequest& m_request;
    PathStyle m_style;
    std::string m_destinationRootPath;
    std::optional<FolderIdentity> m_destinationRoot;
    OrderedFailures m_failures;
    std::atomic<bool> m_rowEnded { false };
    // The progress and the failure sink are told one call at a time.
    std::mutex m_progressMutex;
    // NOTE: one folder kept open per device, so the row's end can flush every file system it
    // wrote to, a drive mounted inside the destination included.
    mutable std::mutex m_devicesMutex;
    std::map<std::uint64_t, std::shared_ptr<const Frame>> m_devices;
    std::vector<std::uint64_t> m_failedDevices;
    std::vector<std::pair<std::shared_ptr<const Frame>, std::size_t>> m_deferred;
};

} // namespace rinvo
