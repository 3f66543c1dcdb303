#include "CaseClashes.h"

#include "platform/CaseFolding.h"
#include "platform/FolderListing.h"

#include <algorithm>
#include <map>
#include <string>

namespace rinvo {

std::vector<CaseClash> findCaseClashes(
    const FolderListing& listing, const std::function<bool(std::size_t)>& copied)
{
    // Names are unique, so only a name that folding changes can meet another: either a name
    // that is its folded form, or another changed name with the same folded form.
    std::map<std::string, std::vector<std::uint32_t>> groups;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const FolderEntry entry = listing[i];
        if (!mayChangeWhenFolded(entry.name) || !copied(i))
            continue;
        std::string folded = foldCase(entry.name);
        if (folded == entry.name)
            continue;
        auto& group = groups[folded];
        if (group.empty()) {
            const std::size_t same = listing.indexOf(folded);
            if (same < listing.size() && copied(same))
                group.push_back(static_cast<std::uint32_t>(same));
        }
        group.push_back(static_cast<std::uint32_t>(i));
    }
    // The walk meets a folder's files before its subfolders.
    auto walkRank = [&](std::uint32_t index) {
        const bool folder = listing[index].info.kind == EntryKind::Folder;
        return std::pair(folder, index);
    };
    std::vector<CaseClash> clashes;
    for (auto& [folded, members] : groups) {
        if (members.size() < 2)
            continue;
        std::sort(members.begin(), members.end(),
            [&](std::uint32_t a, std::uint32_t b) { return walkRank(a) < walkRank(b); });
        for (std::size_t i = 1; i < members.size(); ++i)
            clashes.push_back({ members[i], members.front() });
    }
    std::sort(clashes.begin(), clashes.end(),
        [](const CaseClash& a, const CaseClash& b) { return a.later < b.later; });
    return clashes;
}

} // namespace rinvo
