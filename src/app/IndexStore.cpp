#include "IndexStore.h"

#include "FolderPath.h"
#include "copy/Fnv1a.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cstdio>

namespace rinvo {

namespace {

// More than the most entries an index keeps could take.
constexpr std::size_t MostIndexBytes = std::size_t(1) << 30;

// The rule's two paths, each closed by a byte no UTF-8 text holds: a name for its index that
// no path can break.
std::uint64_t ruleHash(std::string_view source, std::string_view destination)
{
    return fnv1a("\xFF", fnv1a(destination, fnv1a("\xFF", fnv1a(source))));
}

} // namespace

IndexStore::IndexStore(FileSystem& fs, std::string folder)
    : m_fs(fs)
    , m_folder(std::move(folder))
{ }

std::string IndexStore::pathOf(std::string_view source, std::string_view destination) const
{
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.index",
        static_cast<unsigned long long>(ruleHash(source, destination)));
    return joinPath(m_folder, name, m_fs.pathStyle());
}

DestinationIndex IndexStore::load(std::string_view source, std::string_view destination) const
{
    if (!keepsIndexes())
        return {};
    const FsResult<std::string> bytes = m_fs.readFile(pathOf(source, destination), MostIndexBytes);
    if (!bytes)
        return {};
    std::optional<DestinationIndex> index = DestinationIndex::decode(*bytes);
    return index ? std::move(*index) : DestinationIndex {};
}

void IndexStore::save(
    std::string_view source, std::string_view destination, const DestinationIndex& index) const
{
    // An index no run started with (a single file's row, a row that failed before its walk)
    // holds nothing new.
    if (!keepsIndexes() || !index.started())
        return;
    if (createFolderPath(m_fs, m_folder, PrivateFolderPermissions))
        return;
    forgetUnused();
    // A cache: one cut short by a crash fails its checksum, and the next run is a full pass.
    m_fs.replaceFile(pathOf(source, destination), index.encode(), Durability::Cached);
}

void IndexStore::forgetUnused() const
{
    // NOTE: listing the folder as a destination removes the temporary files of saves that were
    // cut short; an index no run has written for UnusedSeconds belongs to a rule that is gone.
    auto folder = m_fs.openFolder(m_folder, FolderSide::Destination);
    if (!folder)
        return;
    const FsResult<FolderListing> listing = (*folder)->list();
    if (!listing)
        return;
    const std::int64_t now = secondsSince1970();
    for (const FolderEntry& entry : *listing) {
        if (!entry.error && entry.info.kind == EntryKind::File && entry.name.ends_with(".index")
            && now - entry.info.modified.seconds > UnusedSeconds)
            m_fs.deleteFile(joinPath(m_folder, entry.name, m_fs.pathStyle()));
    }
}

} // namespace rinvo
