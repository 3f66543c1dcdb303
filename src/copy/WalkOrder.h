#pragma once

#include "CopyReport.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace rinvo {

/// A place in the order a one-thread walk meets things: depth first, a folder's own failure
/// first, then its files in listing order, then each subfolder in listing order with all that
/// lies below it. Compared element by element, a shorter place that is a prefix comes first.
using WalkPlace = std::vector<std::uint32_t>;

/// The place of a failure of the folder itself (listing it, say).
WalkPlace folderPlace(const WalkPlace& folder);
/// The place of the folder's entry at this listing position when it is a file.
WalkPlace filePlace(const WalkPlace& folder, std::size_t index);
/// The place of the folder's subfolder at this listing position: failures to enter it, and,
/// as a prefix, everything below it.
WalkPlace subfolderPlace(const WalkPlace& folder, std::size_t index);
/// A place after everything the walk meets.
WalkPlace endPlace();

/// Failures noted by several threads in any order, given back in walk order. Only the first
/// CopyReport::MaxKeptFailures in walk order are kept; the rest are counted.
class OrderedFailures
{
public:
    /// Notes a failure at its place; safe to call from any thread.
    void add(WalkPlace place, std::string path, FsError error);
    /// Adds the failures to the report in walk order and forgets them.
    void moveInto(CopyReport& report);

private:
    struct Placed
    {
        WalkPlace place;
        CopyFailure failure;
    };

    void keepFirst(std::size_t count);

    std::mutex m_mutex;
    std::vector<Placed> m_kept;
    // Failures beyond the kept ones: their count and the status bits they set.
    CopyReport m_dropped;
};

} // namespace rinvo
