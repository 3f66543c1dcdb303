#include "WalkContext.h"

#include "Frame.h"

#include "platform/PathRules.h"

#include <algorithm>
#include <utility>

namespace rinvo {

WalkContext::WalkContext(FileSystem& fs, const CopyRequest& request)
    : m_fs(fs)
    , m_request(request)
    , m_style(fs.pathStyle())
{ }

std::string WalkContext::sourcePathOf(const Frame& frame, std::string_view name) const
{
    return joinPath(frame.sourcePath, name, m_style);
}

std::string WalkContext::destinationPathOf(const Frame& frame, std::string_view name) const
{
    return joinPath(frame.destinationPath, name, m_style);
}

std::string_view WalkContext::indexName(const Frame& frame) const
{
    return std::string_view(frame.destinationPath).substr(m_destinationRootPath.size());
}

void WalkContext::setDestinationRoot(std::string path, std::optional<FolderIdentity> identity)
{
    m_destinationRootPath = std::move(path);
    m_destinationRoot = identity;
}

bool WalkContext::isOnWalk(const Frame& parent, const FolderIdentity& identity) const
{
    for (const WalkedFolder* folder = parent.walked.get(); folder; folder = folder->parent.get()) {
        if (folder->identity == identity)
            return true;
    }
    // NOTE: a destination inside its own source is never walked as source, so the copy cannot
    // feed on itself.
    return m_destinationRoot && *m_destinationRoot == identity;
}

Flow WalkContext::fail(WalkPlace place, std::string path, FsError error, FailedSide side)
{
    if (side == FailedSide::Destination && showsVolumeUnusable(error))
        return endRow(std::move(place), std::move(error));
    error.side = side;
    record(std::move(place), std::move(path), std::move(error));
    return Flow::Continue;
}

void WalkContext::note(WalkPlace place, std::string path, FsError error)
{
    record(std::move(place), std::move(path), std::move(error));
}

void WalkContext::tellFailure(std::string_view path, const FsError& error)
{
    if (!m_request.failed)
        return;
    std::lock_guard lock(m_progressMutex);
    m_request.failed(path, error);
}

void WalkContext::record(WalkPlace place, std::string path, FsError error)
{
    tellFailure(path, error);
    m_failures.add(std::move(place), std::move(path), std::move(error));
}

Flow WalkContext::endRow(WalkPlace place, FsError error)
{
    // NOTE: one line names the destination and the reason, rather than one failure for each
    // entry still to come: the whole destination is gone, full or read-only. Of several
    // threads that meet it at once, the first says so.
    if (!m_rowEnded.exchange(true)) {
        error.side = FailedSide::Destination;
        record(std::move(place), m_destinationRootPath, std::move(error));
    }
    return Flow::EndRow;
}

Flow WalkContext::checkStop(CopyReport& tally) const
{
    if (rowEnded())
        return Flow::EndRow;
    if (!stopRequested(m_request.stop))
        return Flow::Continue;
    tally.stopped = true;
    return Flow::Stop;
}

bool WalkContext::deferForSpace(const std::shared_ptr<const Frame>& frame, std::size_t index)
{
    // Each waits with its folder open; beyond this many they are told at once.
    constexpr std::size_t MostDeferred = 256;
    std::lock_guard lock(m_devicesMutex);
    if (m_deferred.size() >= MostDeferred)
        return false;
    m_deferred.emplace_back(frame, index);
    return true;
}

std::vector<std::pair<std::shared_ptr<const Frame>, std::size_t>> WalkContext::takeDeferred()
{
    std::lock_guard lock(m_devicesMutex);
    return std::exchange(m_deferred, {});
}

void WalkContext::markFlushFailed(std::uint64_t device)
{
    std::lock_guard lock(m_devicesMutex);
    m_failedDevices.push_back(device);
}

bool WalkContext::flushFailed(std::uint64_t device) const
{
    std::lock_guard lock(m_devicesMutex);
    return std::find(m_failedDevices.begin(), m_failedDevices.end(), device)
        != m_failedDevices.end();
}

void WalkContext::noteWrittenTo(const std::shared_ptr<const Frame>& frame)
{
    const std::uint64_t device = frame->destination.folder->identity().device;
    std::lock_guard lock(m_devicesMutex);
    m_devices.try_emplace(device, frame);
}

std::vector<std::shared_ptr<const Frame>> WalkContext::foldersWrittenTo() const
{
    std::lock_guard lock(m_devicesMutex);
    std::vector<std::shared_ptr<const Frame>> folders;
    for (const auto& [device, frame] : m_devices)
        folders.push_back(frame);
    return folders;
}

void WalkContext::fileDone(
    const Frame& frame, std::string_view name, std::uint64_t bytes, FileOutcome outcome)
{
    if (!m_request.progress)
        return;
    // The display is told of one file at a time, whichever thread copied it.
    std::lock_guard lock(m_progressMutex);
    m_request.progress(frame.sourcePath, name, bytes, outcome);
}

} // namespace rinvo
