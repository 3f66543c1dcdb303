#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace rinvo {

/// The time now as the index keeps times: seconds since 1970.
std::int64_t secondsSince1970();

/// What a run saw of one destination folder: its stamp, taken before its listing, and the
/// listing.
struct IndexedFolder
{
    FolderStamp stamp;
    /// Shared, so a walk thread copies it out of the index without holding the index's lock.
    std::shared_ptr<const FolderListing> entries;
    /// Set when this run took or confirmed it; folders no run of the rule reaches any more go.
    bool seen = false;
};

/// What the runs of one rule know of its destination, so a re-run takes a destination folder
/// whose stamp has not moved since from here instead of listing it and looking at each entry.
/// NOTE: every folder taken from here is checked against its stamp first, so what the index
/// holds can be out of date but never trusted when it is. What a folder's times cannot show, a
/// file changed in place, is looked at afresh before the file is replaced; a file's time set back
/// in place by another program waits for the next full pass.
class DestinationIndex
{
public:
    DestinationIndex() = default;
    DestinationIndex(DestinationIndex&& other) noexcept;
    DestinationIndex& operator=(DestinationIndex&& other) noexcept;

    /// A full pass (every folder listed) comes at least this often, in time and in runs.
    static constexpr std::int64_t FullPassSeconds = 7 * 24 * 60 * 60;
    static constexpr std::uint32_t FullPassRuns = 30;
    /// The most entries kept; a larger tree keeps what fitted.
    static constexpr std::size_t MostEntries = 4'000'000;
    /// A folder changed less than this long before it was listed may change again within the
    /// same tick of its times, so it is listed again next time.
    static constexpr std::int64_t SettledSeconds = 2;

    /// The volume and root folder of the destination when the last full pass began.
    std::uint64_t volumeId = 0;
    FolderIdentity root;
    /// When the last full pass began (seconds since 1970), and how many runs used the index since.
    std::int64_t fullPassAt = 0;
    std::uint32_t runsSinceFullPass = 0;

    /// Tells whether this run may take folders from the index: the same volume and root, a
    /// volume whose folder times show every change, a full pass recent enough, none asked for.
    /// Otherwise the index is emptied for a full pass that starts now.
    bool startRun(const FolderIdentity& destinationRoot, const VolumeFacts& volume,
        std::int64_t now, bool fullPassWanted);

    /// Returns a copy of the folder's listing where its stamp is the one kept, and marks it
    /// seen; nothing otherwise.
    std::optional<FolderListing> take(std::string_view folder, const FolderStamp& stamp);
    /// Keeps what a listing of the folder showed, on a volume startRun found fit; a listing with
    /// an entry that could not be looked at, or of a folder that changed within SettledSeconds
    /// before its stamp was read, is not kept.
    void keep(std::string_view folder, const FolderStamp& stamp, const FolderListing& entries);
    /// Drops the folders this run did not reach, after a walk that went through the whole tree.
    void dropUnseen();

    std::size_t folderCount() const { return m_folders.size(); }
    bool trusted() const { return m_trusted; }
    /// Tells whether a run started with the index, so it holds what that run saw.
    bool started() const { return m_started; }

    /// The index as bytes, and back; bytes that are not a whole index of this version give
    /// nothing.
    std::string encode() const;
    static std::optional<DestinationIndex> decode(std::string_view bytes);

private:
    mutable std::mutex m_mutex;
    std::unordered_map<std::string, IndexedFolder> m_folders;
    std::size_t m_entries = 0;
    bool m_trusted = false;
    bool m_started = false;
    // Whether the volume keeps folder times so that a kept listing could ever be trusted.
    bool m_keeping = false;
};

} // namespace rinvo
