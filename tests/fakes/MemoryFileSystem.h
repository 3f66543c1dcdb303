#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rinvo::testing {

/// A file system held in memory, with POSIX-style paths, explicit times and injectable
/// failures, so the copy's rules can be tested step by step.
class MemoryFileSystem final : public FileSystem
{
public:
    /// The operations a failure can be injected into, named by the path they act on.
    enum class Operation {
        GetInfo, // a path look-up of the file system, and a folder's stat of an entry
        List, // listing a folder
        OpenFolder,
        CreateFolder,
        ReadFile, // reading a file as the source of a copy
        WriteFile, // writing a file as the target of a copy
        Flush, // writing a folder's file system out to its device
        Delete, // deleting a file of the program's own
    };

    MemoryFileSystem();
    ~MemoryFileSystem() override;

    void addFolder(std::string_view path, std::uint32_t attributes = 0);
    void addFile(
        std::string_view path, std::string data, FileTime modified, std::uint32_t attributes = 0);
    void addSpecial(std::string_view path);
    /// Adds a symbolic link, listed as a Link with what it leads to; a look-up through it on
    /// the source side finds nothing, as its target is not modelled.
    void addLink(
        std::string_view path, EntryKind target = EntryKind::Special, FileTime modified = {});
    /// Makes the file system unable to hold links, as FAT is.
    void setHoldsLinks(bool holds) { m_holdsLinks = holds; }
    /// Returns what a link leads to, or nothing where the path is no link.
    std::optional<EntryKind> linkTarget(std::string_view path) const;
    void remove(std::string_view path);
    void setAttributes(std::string_view path, std::uint32_t attributes);
    void setModified(std::string_view path, FileTime modified);

    /// Makes the operation on the path fail with the kind, until cleared.
    void injectFault(std::string_view path, Operation operation, FsErrorKind kind);
    /// Lets only this many more bytes be written; a larger copy fails with DiskFull.
    void setSpaceLeft(std::uint64_t bytes);
    /// Stores every time rounded down to this granularity, as a coarse file system does.
    void setTimeGranularity(TimeGranularity granularity);
    /// Makes each operation of an open folder, and each look-up, wait up to 'longest' first, as
    /// long each time for the same path, differently from seed to seed.
    void setDelays(std::uint64_t seed, std::chrono::microseconds longest);
    /// Makes names that differ only in ASCII case name the same entry, as FAT and NTFS do.
    void setFoldsCase(bool folds) { m_foldsCase = folds; }
    /// How often the folder at the path was listed.
    int listings(const std::string& path) const
    {
        const auto found = m_listings.find(path);
        return found == m_listings.end() ? 0 : found->second;
    }
    /// What the folders' volume() tells: by default one volume whose folders show every change.
    void setVolume(VolumeFacts volume) { m_volume = volume; }

    bool exists(std::string_view path) const;
    std::optional<std::string> fileData(std::string_view path) const;
    std::optional<FileTime> modified(std::string_view path) const;
    /// Returns the names directly inside a folder, sorted.
    std::vector<std::string> children(std::string_view path) const;
    /// Returns every path below the root in walk order, folders marked with a trailing "/".
    std::vector<std::string> allPaths() const;
    /// Runs before each copy with the source path, so a test can change the tree mid-walk.
    std::function<void(const std::string&)> beforeCopy;
    /// Runs before each folder is created with its path, so a test can act as another run.
    std::function<void(const std::string&)> beforeCreateFolder;
    /// Returns the permission bits a folder was created with, or none for folders the test made.
    std::optional<std::uint32_t> createdPermissions(std::string_view path) const;

    /// Returns how often the folder's granularity was asked for.
    int granularityQueries() const { return m_granularityQueries; }
    /// Returns how often a folder's file system was flushed to its device.
    int flushes() const { return m_flushes; }

    PathStyle pathStyle() const override { return PathStyle::Posix; }
    bool driveExists(std::string_view designator) override;
    FsResult<EntryInfo> getInfo(std::string_view path) override;
    FsStatus createFolder(
        std::string_view path, std::uint32_t permissions = DefaultFolderPermissions) override;
    FsResult<std::unique_ptr<OpenFolder>> openFolder(
        std::string_view path, FolderSide side) override;
    FsResult<std::string> readFile(std::string_view path, std::size_t maxBytes) override;
    FsStatus replaceFile(
        std::string_view path, std::string_view content, Durability durability) override;
    /// A WriteFile fault on the path fails the creation; one injected later fails the appends.
    FsResult<std::unique_ptr<FileWriter>> createNewFile(std::string_view path) override;
    FsStatus deleteFile(std::string_view path) override;
    /// Makes driveExists true for the folder, as for a mount point; "/" always is one.
    void addMountPoint(std::string_view path);
    /// Sets the mount points the system is configured with, as /etc/fstab lists them.
    void setConfiguredMounts(std::vector<std::string> mounts)
    {
        m_configuredMounts = std::move(mounts);
    }
    std::optional<std::string> driveOf(std::string_view path) override;

    struct Node;

private:
    friend class MemoryFolder;
    friend class MemoryFileWriter;

    // Every operation of a copy holds the lock, so copies on several threads can share the
    // file system; the hooks run under it and may change the tree.
    std::unique_lock<std::recursive_mutex> lockAfterDelay(std::string_view path);
    Node* find(std::string_view path) const;
    Node* child(const Node& folder, const std::string& name) const;
    Node& create(std::string_view path, bool isFolder);
    FsStatus fault(const std::string& path, Operation operation) const;
    FsResult<EntryInfo> infoOf(const std::string& path, FolderSide side) const;
    FsStatus makeFolder(const std::string& path, std::uint32_t permissions);
    // Writes the copy that publish then puts in place.
    FsResult<std::uint64_t> writeCopy(
        const std::string& from, const std::string& to, const EntryInfo* target);
    FsStatus publish(const std::string& to, bool replacesTarget);
    void discardWritten(const std::string& to);

    std::unique_ptr<Node> m_root;
    // Copies written but not yet published, by the path they are to take.
    std::map<std::string, std::unique_ptr<Node>> m_written;
    std::map<std::pair<std::string, Operation>, FsErrorKind> m_faults;
    std::optional<std::uint64_t> m_spaceLeft;
    std::set<std::string> m_mountPoints { "/" };
    std::vector<std::string> m_configuredMounts;
    TimeGranularity m_granularity;
    bool m_foldsCase = false;
    VolumeFacts m_volume { 1, true };
    std::map<std::string, int> m_listings;
    bool m_holdsLinks = true;
    int m_granularityQueries = 0;
    int m_flushes = 0;
    std::uint64_t m_nextId = 1;
    std::recursive_mutex m_mutex;
    std::uint64_t m_delaySeed = 0;
    std::chrono::microseconds m_longestDelay { 0 };
};

/// Returns the path in the memory file system's canonical form: "/" joined, no empty parts.
std::string canonicalMemoryPath(std::string_view path);

} // namespace rinvo::testing
