#include "DestinationIndex.h"

#include "Fnv1a.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace rinvo {

namespace {

constexpr std::string_view Magic = "RINVOIDX";
constexpr std::uint32_t Version = 1;

class Writer
{
public:
    template <class T> void number(T value)
    {
        // Little-endian whatever the machine, so a copied cache folder stays readable.
        auto bits = static_cast<std::make_unsigned_t<T>>(value);
        char bytes[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bytes[i] = static_cast<char>(bits & 0xFF);
            bits = static_cast<decltype(bits)>(bits >> 7 >> 1);
        }
        m_bytes.append(bytes, sizeof(T));
    }
    void reserve(std::size_t bytes) { m_bytes.reserve(bytes); }
    void text(std::string_view value)
    {
        number(static_cast<std::uint32_t>(value.size()));
        m_bytes.append(value);
    }
    void time(FileTime value)
    {
        number(value.seconds);
        number(value.nanoseconds);
    }
    std::string& bytes() { return m_bytes; }

private:
    std::string m_bytes;
};

class Reader
{
public:
    explicit Reader(std::string_view bytes)
        : m_bytes(bytes)
    { }

    template <class T> bool number(T& value)
    {
        if (m_bytes.size() - m_at < sizeof(T))
            return false;
        std::make_unsigned_t<T> bits = 0;
        for (std::size_t i = sizeof(T); i-- > 0;)
            bits = static_cast<decltype(bits)>(
                (bits << 7 << 1) | static_cast<unsigned char>(m_bytes[m_at + i]));
        value = static_cast<T>(bits);
        m_at += sizeof(T);
        return true;
    }
    bool text(std::string_view& value)
    {
        std::uint32_t length = 0;
        if (!number(length) || m_bytes.size() - m_at < length)
            return false;
        value = m_bytes.substr(m_at, length);
        m_at += length;
        return true;
    }
    bool time(FileTime& value) { return number(value.seconds) && number(value.nanoseconds); }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

void writeStamp(Writer& out, const FolderStamp& stamp)
{
    out.number(stamp.identity.device);
    out.number(stamp.identity.inode);
    out.time(stamp.modified);
    out.time(stamp.changed);
}

bool readStamp(Reader& in, FolderStamp& stamp)
{
    return in.number(stamp.identity.device) && in.number(stamp.identity.inode)
        && in.time(stamp.modified) && in.time(stamp.changed);
}

void writeEntry(Writer& out, const FolderEntry& entry)
{
    out.text(entry.name);
    out.number(static_cast<std::uint8_t>(entry.info.kind));
    out.number(entry.info.attributes);
    out.time(entry.info.modified);
    out.number(entry.info.size);
    out.number(entry.info.permissions);
    out.number(static_cast<std::uint8_t>(entry.info.linkTarget));
}

bool readEntry(Reader& in, std::string_view& name, EntryInfo& info)
{
    std::uint8_t kind = 0;
    std::uint8_t linkTarget = 0;
    if (!in.text(name) || name.empty() || !in.number(kind) || !in.number(info.attributes)
        || !in.time(info.modified) || !in.number(info.size) || !in.number(info.permissions)
        || !in.number(linkTarget))
        return false;
    constexpr auto LastKind = static_cast<std::uint8_t>(EntryKind::Link);
    if (kind > LastKind || linkTarget > LastKind || info.modified.nanoseconds < 0
        || info.modified.nanoseconds >= 1'000'000'000 || info.permissions > 0xFFFF
        || name.find('\0') != std::string_view::npos || name.find('/') != std::string_view::npos)
        return false;
    info.kind = static_cast<EntryKind>(kind);
    info.linkTarget = static_cast<EntryKind>(linkTarget);
    return true;
}

bool hasUnreadableEntry(const FolderListing& entries)
{
    for (const FolderEntry& entry : entries) {
        if (entry.error)
            return true;
    }
    return false;
}

} // namespace

std::int64_t secondsSince1970()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

DestinationIndex::DestinationIndex(DestinationIndex&& other) noexcept
{
    *this = std::move(other);
}

DestinationIndex& DestinationIndex::operator=(DestinationIndex&& other) noexcept
{
    volumeId = other.volumeId;
    root = other.root;
    fullPassAt = other.fullPassAt;
    runsSinceFullPass = other.runsSinceFullPass;
    m_folders = std::move(other.m_folders);
    m_entries = other.m_entries;
    m_trusted = other.m_trusted;
    m_started = other.m_started;
    m_keeping = other.m_keeping;
    return *this;
}

bool DestinationIndex::startRun(const FolderIdentity& destinationRoot, const VolumeFacts& volume,
    std::int64_t now, bool fullPassWanted)
{
    m_trusted = !fullPassWanted && volume.foldersShowEveryChange && !m_folders.empty()
        && volume.id == volumeId && destinationRoot == root && now >= fullPassAt
        && now - fullPassAt < FullPassSeconds && runsSinceFullPass < FullPassRuns;
    if (m_trusted) {
        ++runsSinceFullPass;
    } else {
        m_folders.clear();
        m_entries = 0;
        volumeId = volume.id;
        root = destinationRoot;
        fullPassAt = now;
        runsSinceFullPass = 0;
    }
    for (auto& [path, folder] : m_folders)
        folder.seen = false;
    m_started = true;
    m_keeping = volume.foldersShowEveryChange;
    return m_trusted;
}

std::optional<FolderListing> DestinationIndex::take(
    std::string_view folder, const FolderStamp& stamp)
{
    std::shared_ptr<const FolderListing> entries;
    {
        std::lock_guard lock(m_mutex);
        if (!m_trusted)
            return std::nullopt;
        const auto found = m_folders.find(std::string(folder));
        if (found == m_folders.end() || !(found->second.stamp == stamp))
            return std::nullopt;
        found->second.seen = true;
        entries = found->second.entries;
    }
    return *entries;
}

void DestinationIndex::keep(
    std::string_view folder, const FolderStamp& stamp, const FolderListing& entries)
{
    const bool settled
        = stamp.readAt - std::max(stamp.changed.seconds, stamp.modified.seconds) >= SettledSeconds;
    // The copy is made before the lock is taken, so other threads' folders do not wait for it.
    std::shared_ptr<const FolderListing> copy;
    if (m_keeping && settled && !hasUnreadableEntry(entries))
        copy = std::make_shared<const FolderListing>(entries);
    std::lock_guard lock(m_mutex);
    auto found = m_folders.find(std::string(folder));
    if (found != m_folders.end()) {
        m_entries -= found->second.entries->size();
        m_folders.erase(found);
    }
    if (!copy || m_entries + copy->size() > MostEntries)
        return;
    m_entries += copy->size();
    m_folders.emplace(std::string(folder), IndexedFolder { stamp, std::move(copy), true });
}

void DestinationIndex::dropUnseen()
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_folders, [this](const auto& kept) {
        if (kept.second.seen)
            return false;
        m_entries -= kept.second.entries->size();
        return true;
    });
}

std::string DestinationIndex::encode() const
{
    std::lock_guard lock(m_mutex);
    Writer out;
    // About what an entry and a folder take, so the text grows once or twice at most.
    out.reserve(64 + m_entries * 48 + m_folders.size() * 96);
    out.bytes().append(Magic);
    out.number(Version);
    out.number(volumeId);
    out.number(root.device);
    out.number(root.inode);
    out.number(fullPassAt);
    out.number(runsSinceFullPass);
    out.number(static_cast<std::uint64_t>(m_folders.size()));
    // In the order of their names, so the same index always gives the same bytes.
    std::vector<const std::pair<const std::string, IndexedFolder>*> folders;
    folders.reserve(m_folders.size());
    for (const auto& kept : m_folders)
        folders.push_back(&kept);
    std::sort(folders.begin(), folders.end(),
        [](const auto* left, const auto* right) { return left->first < right->first; });
    for (const auto* kept : folders) {
        const auto& [path, folder] = *kept;
        out.text(path);
        writeStamp(out, folder.stamp);
        out.number(static_cast<std::uint64_t>(folder.entries->size()));
        for (const FolderEntry& entry : *folder.entries)
            writeEntry(out, entry);
    }
    out.number(fnv1a(out.bytes()));
    return std::move(out.bytes());
}

std::optional<DestinationIndex> DestinationIndex::decode(std::string_view bytes)
{
    constexpr std::size_t Sum = sizeof(std::uint64_t);
    if (bytes.size() < Magic.size() + Sum || !bytes.starts_with(Magic))
        return std::nullopt;
    Reader sum(bytes.substr(bytes.size() - Sum));
    std::uint64_t stored = 0;
    if (!sum.number(stored) || stored != fnv1a(bytes.substr(0, bytes.size() - Sum)))
        return std::nullopt;
    Reader in(bytes.substr(Magic.size(), bytes.size() - Magic.size() - Sum));
    DestinationIndex index;
    std::uint32_t version = 0;
    std::uint64_t folders = 0;
    if (!in.number(version) || version != Version || !in.number(index.volumeId)
        || !in.number(index.root.device) || !in.number(index.root.inode)
        || !in.number(index.fullPassAt) || !in.number(index.runsSinceFullPass)
        || !in.number(folders))
        return std::nullopt;
    for (std::uint64_t f = 0; f < folders; ++f) {
        std::string_view path;
        IndexedFolder folder;
        std::uint64_t entries = 0;
        if (!in.text(path) || !readStamp(in, folder.stamp) || !in.number(entries)
            || entries > MostEntries - index.m_entries)
            return std::nullopt;
        FolderListing listing;
        std::string_view previous;
        for (std::uint64_t e = 0; e < entries; ++e) {
            std::string_view name;
            EntryInfo info;
            // A listing is sorted by name, byte by byte, as find() expects.
            if (!readEntry(in, name, info) || (e > 0 && name <= previous))
                return std::nullopt;
            listing.add(name, info);
            previous = name;
        }
        folder.entries = std::make_shared<const FolderListing>(std::move(listing));
        index.m_entries += entries;
        if (!index.m_folders.emplace(std::string(path), std::move(folder)).second)
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return index;
}

} // namespace rinvo
