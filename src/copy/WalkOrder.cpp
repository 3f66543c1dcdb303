#include "WalkOrder.h"

#include <algorithm>
#include <limits>

namespace rinvo {

namespace {

// Files come before subfolders whatever their listing positions, so each gets its own range.
constexpr std::uint32_t FolderItself = 0;
constexpr std::uint32_t FirstFile = 1;
constexpr std::uint32_t FirstSubfolder = 0x8000'0000;

WalkPlace extended(const WalkPlace& folder, std::uint32_t step)
{
    WalkPlace place;
    place.reserve(folder.size() + 1);
    place = folder;
    place.push_back(step);
    return place;
}

} // namespace

WalkPlace folderPlace(const WalkPlace& folder)
{
    return extended(folder, FolderItself);
}

WalkPlace filePlace(const WalkPlace& folder, std::size_t index)
{
    return extended(folder, FirstFile + static_cast<std::uint32_t>(index));
}

WalkPlace subfolderPlace(const WalkPlace& folder, std::size_t index)
{
    return extended(folder, FirstSubfolder + static_cast<std::uint32_t>(index));
}

WalkPlace endPlace()
{
    return { std::numeric_limits<std::uint32_t>::max() };
}

void OrderedFailures::add(WalkPlace place, std::string path, FsError error)
{
    std::lock_guard lock(m_mutex);
    m_kept.push_back({ std::move(place), { std::move(path), std::move(error) } });
    // NOTE: trimmed in batches, so that a tree failing everywhere costs a sort now and then
    // rather than one per failure, and memory stays a few thousand failures.
    if (m_kept.size() >= 4 * CopyReport::MaxKeptFailures)
        keepFirst(CopyReport::MaxKeptFailures);
}

void OrderedFailures::keepFirst(std::size_t count)
{
    std::sort(m_kept.begin(), m_kept.end(),
        [](const Placed& a, const Placed& b) { return a.place < b.place; });
    for (std::size_t i = count; i < m_kept.size(); ++i) {
        CopyFailure& failure = m_kept[i].failure;
        m_dropped.addFailure(std::move(failure.path), std::move(failure.error));
        m_dropped.failures.clear();
    }
    if (m_kept.size() > count)
        m_kept.resize(count);
}

void OrderedFailures::moveInto(CopyReport& report)
{
    std::lock_guard lock(m_mutex);
    keepFirst(m_kept.size());
    for (Placed& placed : m_kept)
        report.addFailure(std::move(placed.failure.path), std::move(placed.failure.error));
    report.merge(m_dropped);
    m_kept.clear();
    m_dropped = {};
}

} // namespace rinvo
