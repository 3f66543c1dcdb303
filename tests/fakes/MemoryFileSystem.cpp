#include "MemoryFileSystem.h"

#include "platform/DriveRules.h"

#include "platform/PathRules.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <thread>

namespace rinvo::testing {

struct MemoryFileSystem::Node
{
    EntryKind kind = EntryKind::Folder;
    // What a link leads to; its target text is its data.
    EntryKind linkTarget = EntryKind::Special;
    std::uint32_t attributes = 0;
    FileTime modified;
    std::string data;
    std::uint64_t id = 0;
    // How often an entry was made, removed or renamed in this folder: its times, as a stamp.
    std::int64_t changes = 0;
    std::optional<std::uint32_t> createdPermissions;
    std::map<std::string, std::unique_ptr<Node>> children;
};

namespace {

std::vector<std::string> splitPath(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

FsError notFound()
{
    return { FsErrorKind::PathNotFound, "no such file or folder" };
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

FsError onSide(FsError error, FailedSide side)
{
    error.side = side;
    return error;
}

} // namespace

std::string canonicalMemoryPath(std::string_view path)
{
    std::string canonical;
    for (const std::string& part : splitPath(path))
        canonical += "/" + part;
    return canonical.empty() ? "/" : canonical;
}

class MemoryFolder final : public OpenFolder
{
public:
    MemoryFolder(MemoryFileSystem& fs, std::string path, std::uint64_t id, FolderSide side)
        : m_fs(fs)
        , m_path(std::move(path))
        , m_id(id)
        , m_side(side)
    { }

    std::string child(std::string_view name) const
    {
        return joinPath(m_path, name, PathStyle::Posix);
    }

    FsResult<FolderListing> list() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        ++m_fs.m_listings[m_path];
        if (FsStatus failed = m_fs.fault(m_path, MemoryFileSystem::Operation::List))
            return *failed;
        MemoryFileSystem::Node* node = m_fs.find(m_path);
        if (!node || node->kind != EntryKind::Folder)
            return notFound();
        FolderListing listing;
        for (const auto& [name, childNode] : node->children) {
            if (childNode->kind == EntryKind::Link) {
                // A link is listed as itself on both sides.
                EntryInfo link;
                link.kind = EntryKind::Link;
                link.attributes = childNode->attributes;
                link.modified = childNode->modified;
                link.size = childNode->data.size();
                link.linkTarget = childNode->linkTarget;
                listing.add(name, link);
                continue;
            }
            auto info = m_fs.infoOf(child(name), m_side);
            listing.add(name, info ? *info : EntryInfo {});
            if (!info)
                listing.setError(listing.size() - 1, info.error());
        }
        listing.sortByName();
        return listing;
    }

    FsResult<EntryInfo> stat(std::string_view name) override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.infoOf(child(name), m_side);
    }

    FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view name) override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        auto info = m_fs.infoOf(child(name), m_side);
        if (info && info->kind == EntryKind::Link)
            return FsError { FsErrorKind::LinkInDestination, "symbolic link" };
        return m_fs.openFolder(child(name), m_side);
    }

    FsStatus createFolder(std::string_view name, std::uint32_t permissions) override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.makeFolder(child(name), permissions);
    }

    FsResult<WrittenFile> writeCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target,
        const StopRequest* stop = nullptr) override
    {
        auto& from = static_cast<MemoryFolder&>(source);
        const auto lock = m_fs.lockAfterDelay(from.child(name));
        if (m_fs.beforeCopy)
            m_fs.beforeCopy(from.child(name));
        // The memory file system copies a file in one block: a stop asked for before it counts.
        if (stopRequested(stop))
            return FsError { FsErrorKind::Stopped, "stopped" };
        auto bytes = m_fs.writeCopy(from.child(name), child(name), target);
        if (!bytes)
            return bytes.error();
        return WrittenFile { std::string(name), "written:" + child(name), *bytes,
            sourceInfo.modified, target != nullptr };
    }

    FsResult<WrittenFile> writeLinkCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target) override
    {
        auto& from = static_cast<MemoryFolder&>(source);
        const auto lock = m_fs.lockAfterDelay(from.child(name));
        if (!m_fs.m_holdsLinks)
            return FsError { FsErrorKind::Other, "no links here", FailedSide::Destination };
        if (target && target->kind != EntryKind::Link)
            return FsError { FsErrorKind::AlreadyExists, "a file has the link's name",
                FailedSide::Destination };
        MemoryFileSystem::Node* link = m_fs.find(from.child(name));
        if (!link || link->kind != EntryKind::Link)
            return onSide(notFound(), FailedSide::Source);
        auto& slot = m_fs.m_written[child(name)];
        slot = std::make_unique<MemoryFileSystem::Node>();
        slot->kind = EntryKind::Link;
        slot->linkTarget = link->linkTarget;
        slot->data = link->data;
        slot->modified = sourceInfo.modified;
        return WrittenFile { std::string(name), "written:" + child(name), link->data.size(),
            sourceInfo.modified, target != nullptr };
    }

    bool holdsLinks() override { return m_fs.m_holdsLinks; }

    FsStatus publish(const WrittenFile& written) override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.publish(child(written.name), written.replacesTarget);
    }

    void discard(const WrittenFile& written) override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        m_fs.discardWritten(child(written.name));
    }

    FsStatus flushToDevice() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        ++m_fs.m_flushes;
        return m_fs.fault(m_path, MemoryFileSystem::Operation::Flush);
    }

    FolderIdentity identity() override { return { 1, m_id }; }

    FsResult<FolderStamp> stamp() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        MemoryFileSystem::Node* node = m_fs.find(m_path);
        if (!node || node->id != m_id)
            return notFound();
        if (!m_stamp) {
            const FileTime times { node->changes, 0 };
            m_stamp = FolderStamp { identity(), times, times, std::time(nullptr) };
        }
        return *m_stamp;
    }

    VolumeFacts volume() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.m_volume;
    }

    std::optional<std::uint64_t> freeSpace() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.m_spaceLeft;
    }

    std::uint32_t permissions() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        MemoryFileSystem::Node* node = m_fs.find(m_path);
        return node && node->createdPermissions ? *node->createdPermissions : 0755;
    }

    TimeGranularity timeGranularity() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        ++m_fs.m_granularityQueries;
        return m_fs.m_granularity;
    }

    bool foldsCase() override
    {
        const auto lock = m_fs.lockAfterDelay(m_path);
        return m_fs.m_foldsCase;
    }

private:
    MemoryFileSystem& m_fs;
    std::string m_path;
    std::uint64_t m_id;
    FolderSide m_side;
    std::optional<FolderStamp> m_stamp;
};

MemoryFileSystem::MemoryFileSystem()
    : m_root(std::make_unique<Node>())
{
    m_root->id = m_nextId++;
}

MemoryFileSystem::~MemoryFileSystem() = default;

void MemoryFileSystem::setDelays(std::uint64_t seed, std::chrono::microseconds longest)
{
    m_delaySeed = seed;
    m_longestDelay = longest;
}

std::unique_lock<std::recursive_mutex> MemoryFileSystem::lockAfterDelay(std::string_view path)
{
    if (m_longestDelay.count() > 0) {
        // The same path waits as long each time in one run, differently from seed to seed.
        const std::uint64_t mixed
            = std::hash<std::string_view> {}(path) ^ (m_delaySeed * 0x9E3779B97F4A7C15ull);
        const auto spread = static_cast<std::uint64_t>(m_longestDelay.count()) + 1;
        std::this_thread::sleep_for(std::chrono::microseconds((mixed >> 7) % spread));
    }
    return std::unique_lock(m_mutex);
}

MemoryFileSystem::Node* MemoryFileSystem::child(const Node& folder, const std::string& name) const
{
    auto found = folder.children.find(name);
    if (found != folder.children.end())
        return found->second.get();
    if (m_foldsCase) {
        for (const auto& [other, node] : folder.children) {
            if (sameIgnoringCase(other, name))
                return node.get();
        }
    }
    return nullptr;
}

MemoryFileSystem::Node* MemoryFileSystem::find(std::string_view path) const
{
    if (path.empty() || path.front() != '/')
        return nullptr;
    Node* node = m_root.get();
    for (const std::string& part : splitPath(path)) {
        if (node->kind != EntryKind::Folder)
            return nullptr;
        node = child(*node, part);
        if (!node)
            return nullptr;
    }
    return node;
}

MemoryFileSystem::Node& MemoryFileSystem::create(std::string_view path, bool isFolder)
{
    Node* node = m_root.get();
    const std::vector<std::string> parts = splitPath(path);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (Node* existing = child(*node, parts[i])) {
            node = existing;
            continue;
        }
        ++node->changes;
        auto& slot = node->children[parts[i]];
        slot = std::make_unique<Node>();
        slot->id = m_nextId++;
        slot->kind = (isFolder || i + 1 < parts.size()) ? EntryKind::Folder : EntryKind::File;
        node = slot.get();
    }
    return *node;
}

void MemoryFileSystem::addFolder(std::string_view path, std::uint32_t attributes)
{
    create(path, true).attributes = attributes;
}

void MemoryFileSystem::addFile(
    std::string_view path, std::string data, FileTime modified, std::uint32_t attributes)
{
    Node& node = create(path, false);
    node.data = std::move(data);
    node.modified = floorToGranularity(modified, m_granularity);
    node.attributes = attributes;
}

void MemoryFileSystem::addSpecial(std::string_view path)
{
    Node& node = create(path, false);
    node.kind = EntryKind::Special;
    node.attributes = SystemAttribute;
}

void MemoryFileSystem::addLink(std::string_view path, EntryKind target, FileTime modified)
{
    Node& node = create(path, false);
    node.kind = EntryKind::Link;
    node.linkTarget = target;
    node.modified = modified;
    node.data = "target";
}

std::optional<EntryKind> MemoryFileSystem::linkTarget(std::string_view path) const
{
    const Node* node = find(canonicalMemoryPath(path));
    if (!node || node->kind != EntryKind::Link)
        return std::nullopt;
    return node->linkTarget;
}

std::optional<std::uint32_t> MemoryFileSystem::createdPermissions(std::string_view path) const
{
    Node* node = find(canonicalMemoryPath(path));
    return node ? node->createdPermissions : std::nullopt;
}

void MemoryFileSystem::remove(std::string_view path)
{
    const std::string canonical = canonicalMemoryPath(path);
    if (Node* parent = find(parentPath(canonical, PathStyle::Posix))) {
        parent->children.erase(std::string(lastComponent(canonical, PathStyle::Posix)));
        ++parent->changes;
    }
}

void MemoryFileSystem::setAttributes(std::string_view path, std::uint32_t attributes)
{
    find(path)->attributes = attributes;
}

void MemoryFileSystem::setModified(std::string_view path, FileTime modified)
{
    find(path)->modified = modified;
}

void MemoryFileSystem::injectFault(std::string_view path, Operation operation, FsErrorKind kind)
{
    m_faults[{ canonicalMemoryPath(path), operation }] = kind;
}

void MemoryFileSystem::setSpaceLeft(std::uint64_t bytes)
{
    m_spaceLeft = bytes;
}

void MemoryFileSystem::setTimeGranularity(TimeGranularity granularity)
{
    m_granularity = granularity;
}

FsStatus MemoryFileSystem::fault(const std::string& path, Operation operation) const
{
    auto found = m_faults.find({ canonicalMemoryPath(path), operation });
    if (found == m_faults.end())
        return std::nullopt;
    return FsError { found->second, "injected failure" };
}

bool MemoryFileSystem::exists(std::string_view path) const
{
    return find(canonicalMemoryPath(path)) != nullptr;
}

std::optional<std::string> MemoryFileSystem::fileData(std::string_view path) const
{
    Node* node = find(canonicalMemoryPath(path));
    if (!node || node->kind != EntryKind::File)
        return std::nullopt;
    return node->data;
}

std::optional<FileTime> MemoryFileSystem::modified(std::string_view path) const
{
    Node* node = find(canonicalMemoryPath(path));
    if (!node)
        return std::nullopt;
    return node->modified;
}

std::vector<std::string> MemoryFileSystem::children(std::string_view path) const
{
    std::vector<std::string> names;
    if (Node* node = find(canonicalMemoryPath(path))) {
        for (const auto& [name, child] : node->children)
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> MemoryFileSystem::allPaths() const
{
    std::vector<std::string> paths;
    std::function<void(const Node&, const std::string&)> visit
        = [&](const Node& node, const std::string& path) {
              for (const auto& [name, child] : node.children) {
                  const std::string childPath = path + "/" + name;
                  paths.push_back(child->kind == EntryKind::Folder ? childPath + "/" : childPath);
                  visit(*child, childPath);
              }
          };
    visit(*m_root, "");
    return paths;
}

FsResult<EntryInfo> MemoryFileSystem::infoOf(const std::string& path, FolderSide side) const
{
    if (FsStatus failed = fault(path, Operation::GetInfo))
        return *failed;
    Node* node = find(canonicalMemoryPath(path));
    // A link's target is not modelled: the source side sees it dangling.
    if (!node || (node->kind == EntryKind::Link && side == FolderSide::Source))
        return notFound();
    EntryInfo info;
    info.kind = node->kind;
    info.attributes = node->attributes
        | (node->kind == EntryKind::Folder ? std::uint32_t(DirectoryAttribute) : 0u);
    info.modified = node->modified;
    info.size = node->data.size();
    info.permissions = (node->attributes & ReadOnlyAttribute) ? 0444 : 0644;
    return info;
}

bool MemoryFileSystem::driveExists(std::string_view path)
{
    return !path.empty() && path.front() == '/'
        && m_mountPoints.count(canonicalMemoryPath(path)) > 0 && folderExists(path);
}

std::optional<std::string> MemoryFileSystem::driveOf(std::string_view path)
{
    return driveOfPath(path, PathStyle::Posix, m_configuredMounts);
}

void MemoryFileSystem::addMountPoint(std::string_view path)
{
    m_mountPoints.insert(canonicalMemoryPath(path));
}

FsResult<std::string> MemoryFileSystem::readFile(std::string_view path, std::size_t maxBytes)
{
    std::lock_guard lock(m_mutex);
    if (FsStatus failed = fault(std::string(path), Operation::ReadFile))
        return *failed;
    Node* node = find(canonicalMemoryPath(path));
    if (!node || node->kind != EntryKind::File)
        return notFound();
    return node->data.substr(0, maxBytes);
}

FsStatus MemoryFileSystem::replaceFile(std::string_view path, std::string_view content, Durability)
{
    std::lock_guard lock(m_mutex);
    if (FsStatus failed = fault(std::string(path), Operation::WriteFile))
        return failed;
    const std::string canonical = canonicalMemoryPath(path);
    Node* parent = find(parentPath(canonical, PathStyle::Posix));
    if (!parent || parent->kind != EntryKind::Folder)
        return notFound();
    Node* existing = find(canonical);
    if (existing
        && (existing->kind != EntryKind::File || (existing->attributes & ReadOnlyAttribute)))
        return FsError { FsErrorKind::PermissionDenied, "read-only or not a file" };
    create(canonical, false).data = std::string(content);
    return std::nullopt;
}

class MemoryFileWriter final : public FileWriter
{
public:
    MemoryFileWriter(MemoryFileSystem& fs, std::string path)
        : m_fs(fs)
        , m_path(std::move(path))
    { }
    FsStatus append(std::string_view text) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (FsStatus failed = m_fs.fault(m_path, MemoryFileSystem::Operation::WriteFile))
            return failed;
        MemoryFileSystem::Node* node = m_fs.find(m_path);
        if (!node || node->kind != EntryKind::File)
            return notFound();
        node->data.append(text);
        return std::nullopt;
    }

private:
    MemoryFileSystem& m_fs;
    std::string m_path;
};

FsResult<std::unique_ptr<FileWriter>> MemoryFileSystem::createNewFile(std::string_view path)
{
    std::lock_guard lock(m_mutex);
    const std::string canonical = canonicalMemoryPath(path);
    if (FsStatus failed = fault(canonical, Operation::WriteFile))
        return *failed;
    Node* parent = find(parentPath(canonical, PathStyle::Posix));
    if (!parent || parent->kind != EntryKind::Folder)
        return notFound();
    if (find(canonical))
        return FsError { FsErrorKind::AlreadyExists, "exists" };
    create(canonical, false);
    return std::unique_ptr<FileWriter>(std::make_unique<MemoryFileWriter>(*this, canonical));
}

FsStatus MemoryFileSystem::deleteFile(std::string_view path)
{
    std::lock_guard lock(m_mutex);
    const std::string canonical = canonicalMemoryPath(path);
    if (FsStatus failed = fault(canonical, Operation::Delete))
        return failed;
    Node* parent = find(parentPath(canonical, PathStyle::Posix));
    Node* node = find(canonical);
    if (!parent || !node || node->kind == EntryKind::Folder)
        return notFound();
    std::erase_if(
        parent->children, [node](const auto& entry) { return entry.second.get() == node; });
    return std::nullopt;
}

FsResult<EntryInfo> MemoryFileSystem::getInfo(std::string_view path)
{
    const auto lock = lockAfterDelay(path);
    return infoOf(std::string(path), FolderSide::Source);
}

FsStatus MemoryFileSystem::makeFolder(const std::string& path, std::uint32_t permissions)
{
    if (beforeCreateFolder)
        beforeCreateFolder(canonicalMemoryPath(path));
    if (FsStatus failed = fault(path, Operation::CreateFolder))
        return failed;
    const std::string canonical = canonicalMemoryPath(path);
    Node* parent = find(parentPath(canonical, PathStyle::Posix));
    if (!parent || parent->kind != EntryKind::Folder)
        return notFound();
    if (find(canonical))
        return FsError { FsErrorKind::AlreadyExists, "already exists" };
    create(canonical, true).createdPermissions = permissions;
    return std::nullopt;
}

FsStatus MemoryFileSystem::createFolder(std::string_view path, std::uint32_t permissions)
{
    const auto lock = lockAfterDelay(path);
    return makeFolder(std::string(path), permissions);
}

FsResult<std::unique_ptr<OpenFolder>> MemoryFileSystem::openFolder(
    std::string_view path, FolderSide side)
{
    const auto lock = lockAfterDelay(path);
    const std::string canonical = canonicalMemoryPath(path);
    if (FsStatus failed = fault(canonical, Operation::OpenFolder))
        return *failed;
    Node* node = find(canonical);
    if (!node || path.front() != '/')
        return notFound();
    if (node->kind != EntryKind::Folder)
        return FsError { FsErrorKind::PathNotFound, "not a folder" };
    return std::unique_ptr<OpenFolder>(new MemoryFolder(*this, canonical, node->id, side));
}

FsResult<std::uint64_t> MemoryFileSystem::writeCopy(
    const std::string& from, const std::string& to, const EntryInfo* target)
{
    if (FsStatus failed = fault(from, Operation::ReadFile))
        return onSide(*failed, FailedSide::Source);
    if (FsStatus failed = fault(to, Operation::WriteFile))
        return onSide(*failed, FailedSide::Destination);
    Node* source = find(canonicalMemoryPath(from));
    if (!source || source->kind != EntryKind::File)
        return onSide(notFound(), FailedSide::Source);
    Node* existing = find(canonicalMemoryPath(to));
    if (existing && !target)
        return FsError { FsErrorKind::AlreadyExists, "appeared meanwhile",
            FailedSide::Destination };
    if (existing) {
        EntryInfo found;
        found.kind = existing->kind;
        found.attributes = existing->attributes;
        if (FsStatus refused = refusalToReplace(found))
            return *refused;
    }
    Node* parent = find(parentPath(canonicalMemoryPath(to), PathStyle::Posix));
    if (!parent || parent->kind != EntryKind::Folder)
        return onSide(notFound(), FailedSide::Destination);
    // The whole file is written before it replaces anything, so a full disk leaves the old one.
    if (m_spaceLeft) {
        if (source->data.size() > *m_spaceLeft)
            return FsError { FsErrorKind::DiskFull, "no space left", FailedSide::Destination };
        *m_spaceLeft -= source->data.size();
    }
    auto& slot = m_written[canonicalMemoryPath(to)];
    slot = std::make_unique<Node>();
    Node& written = *slot;
    written.kind = EntryKind::File;
    written.data = source->data;
    written.modified = floorToGranularity(source->modified, m_granularity);
    written.attributes = source->attributes;
    return static_cast<std::uint64_t>(written.data.size());
}

void MemoryFileSystem::discardWritten(const std::string& to)
{
    auto written = m_written.find(canonicalMemoryPath(to));
    if (written == m_written.end())
        return;
    // The space the copy took is free again.
    if (m_spaceLeft)
        *m_spaceLeft += written->second->data.size();
    m_written.erase(written);
}

FsStatus MemoryFileSystem::publish(const std::string& to, bool replacesTarget)
{
    const std::string canonical = canonicalMemoryPath(to);
    auto written = m_written.find(canonical);
    if (written == m_written.end())
        return notFound();
    if (find(canonical) && !replacesTarget)
        return FsError { FsErrorKind::AlreadyExists, "appeared meanwhile",
            FailedSide::Destination };
    const std::unique_ptr<Node> pending = std::move(written->second);
    m_written.erase(written);
    Node& node = create(canonical, false);
    // Renamed into place, as a real volume does it.
    if (Node* parent = find(parentPath(canonical, PathStyle::Posix)))
        ++parent->changes;
    node.kind = pending->kind;
    node.linkTarget = pending->linkTarget;
    node.data = std::move(pending->data);
    node.modified = pending->modified;
    node.attributes = pending->attributes;
    return std::nullopt;
}

} // namespace rinvo::testing
