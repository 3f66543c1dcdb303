#pragma once

#include "FileTime.h"
#include "FsError.h"
#include "PathRules.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Attribute bits as the program tests them.
enum Attribute : std::uint32_t {
    ReadOnlyAttribute = 1,
    HiddenAttribute = 2,
    SystemAttribute = 4,
    DirectoryAttribute = 16,
};

/// What a folder entry is, after following symbolic links.
enum class EntryKind : std::uint8_t {
    File,
    Folder,
    /// FIFOs, sockets and device nodes: reported as system entries, never opened or copied.
    Special,
};

/// Identifies a folder on its device, so the walk can recognise one it has already entered.
struct FolderIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FolderIdentity&) const = default;
};

/// What the program knows of one file or folder.
struct EntryInfo
{
    EntryKind kind = EntryKind::File;
    std::uint32_t attributes = 0;
    FileTime modified;
    std::uint64_t size = 0;
    /// POSIX permission bits; unused on Windows, where the read-only attribute stands for them.
    std::uint32_t permissions = 0;
};

/// One entry of a folder listing. When 'error' is set the entry's details could not be read
/// (a dangling link, or no permission to look at its target) and only the name is valid.
struct FolderEntry
{
    std::string name;
    EntryInfo info;
    FsStatus error;
};

/// Which side of a copy a listing serves; both read every entry's details.
enum class ListingPurpose {
    Source,
    /// Also clears away temporary files that a copy killed part way left behind.
    Destination,
};

/// A folder opened once; every operation is relative to it, so a walk never rebuilds paths.
class OpenFolder
{
public:
    virtual ~OpenFolder() = default;

    /// Returns the folder's entries sorted by name. Temporary files of an interrupted copy are
    /// never listed; a Destination listing removes those whose writer has ended. A folder entry
    /// carries its kind and attributes but no time, which the copy never compares.
    virtual FsResult<std::vector<FolderEntry>> list(ListingPurpose purpose) = 0;

    /// Returns the details of the named entry, following symbolic links.
    virtual FsResult<EntryInfo> stat(std::string_view name) = 0;

    /// Opens the named subfolder.
    virtual FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view name) = 0;

    /// Creates the named subfolder; its parent is this folder.
    virtual FsStatus createFolder(std::string_view name) = 0;

    /// Copies the named file of 'source' into this folder under the same name, with its data,
    /// modification time and permissions. 'target' is what the caller found under that name
    /// here, or null when it found nothing. The target appears only when complete: on failure
    /// an existing target is left as it was. A read-only target is refused with
    /// PermissionDenied; a target that appeared although the caller found none is refused with
    /// AlreadyExists. Returns the number of bytes copied.
    virtual FsResult<std::uint64_t> copyFileFrom(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target)
        = 0;

    /// Writes everything the program wrote to this folder's file system out to the device, so a
    /// backup reported as done survives a crash or a drive pulled right after.
    virtual FsStatus flushToDevice() = 0;

    /// Returns the identity used to recognise a folder already on the walk.
    virtual FolderIdentity identity() = 0;

    /// Returns how finely this folder's file system stores modification times, learned by
    /// storing a probe time once per file system. Exact when the probe cannot be written.
    virtual TimeGranularity timeGranularity() = 0;
};

/// The file-system service: tests and look-ups by path, and folders opened for a walk.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    /// Returns the path rules of this file system's paths.
    virtual PathStyle pathStyle() const = 0;

    /// Tells whether the path names a present drive: a designator or a drive's root on
    /// Windows; on POSIX the root "/" or another mount point.
    virtual bool driveExists(std::string_view path) = 0;

    /// True only for an existing file (a link to one counts); false for a folder.
    bool fileExists(std::string_view path)
    {
        auto info = getInfo(path);
        return info && info->kind == EntryKind::File;
    }

    /// True only for an existing folder.
    bool folderExists(std::string_view path)
    {
        auto info = getInfo(path);
        return info && info->kind == EntryKind::Folder;
    }

    /// Returns the details of the file or folder at the path.
    virtual FsResult<EntryInfo> getInfo(std::string_view path) = 0;

    /// Creates one folder; its parent must exist.
    virtual FsStatus createFolder(std::string_view path) = 0;

    /// Opens the folder at the path for a walk.
    virtual FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view path) = 0;

    /// Returns the file's first 'maxBytes' bytes.
    virtual FsResult<std::string> readFile(std::string_view path, std::size_t maxBytes) = 0;

    /// Replaces the file's content: the new content is written beside it and renamed over it,
    /// so a failure leaves the old file as it was. A read-only file is refused.
    virtual FsStatus replaceFile(std::string_view path, std::string_view content) = 0;
};

/// Returns the service backed by the operating system.
std::unique_ptr<FileSystem> createNativeFileSystem();

} // namespace rinvo
