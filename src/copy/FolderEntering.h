#pragma once

#include "WalkContext.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace rinvo {

struct Destination;
struct Frame;

/// Entering folders, for one thread of the walk: listing both sides of a folder, settling what
/// the listings can (left out, up to date, unreadable, a case clash) and finding the files to
/// copy and the subfolders to enter; and opening a subfolder with its destination counterpart,
/// made where it is missing. Counts go to the thread's tally, failures to the walk.
class FolderEntering
{
public:
    FolderEntering(WalkContext& walk, CopyReport& tally);

    /// Lists the frame's folder on both sides and fills its files and subfolders.
    Flow enter(Frame& frame);
    /// Opens the subfolder at this listing position of 'parent' on both sides; 'child' is left
    /// empty when the subfolder is not to be walked (a failure, or a folder already on the walk).
    Flow openSubfolder(const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child);

private:
    Flow listDestination(Frame& frame);
    void findClashes(Frame& frame);
    void findFiles(Frame& frame);
    void findSubfolders(Frame& frame);
    bool isClash(const Frame& frame, std::size_t index, const WalkPlace& place);
    // Settles how a link is copied; false when it is not, having said why.
    bool resolveLink(Frame& frame, std::size_t index);
    bool isUpToDateByListing(const Frame& frame, const FolderEntry& entry) const;
    Flow openDestination(const Frame& parent, std::size_t index, std::uint32_t permissions,
        std::optional<Destination>& opened);
    Flow createDestination(const Frame& parent, std::size_t index, std::uint32_t permissions,
        std::optional<Destination>& opened);

    WalkContext& m_walk;
    CopyReport& m_tally;
};

} // namespace rinvo
