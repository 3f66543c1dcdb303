#pragma once

#include "FileTime.h"
#include "FolderListing.h"
#include "FsError.h"
#include "PathRules.h"
#include "StopRequest.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Identifies a folder on its device, so the walk can recognise one it has already entered.
struct FolderIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FolderIdentity&) const = default;
};

/// Whether a written file must be on the device before it is used.
enum class Durability { Flushed, Cached };

/// What tells whether a folder changed since it was last seen: making, removing or renaming an
/// entry in it moves its times, where its volume keeps them so (see VolumeFacts).
struct FolderStamp
{
    FolderIdentity identity;
    FileTime modified;
    FileTime changed;
    /// When the stamp was read (seconds since 1970), which is not part of it: a folder changed
    /// within a tick of its times before this moment may change again unseen.
    std::int64_t readAt = 0;

    bool operator==(const FolderStamp& other) const
    {
        return identity == other.identity && modified == other.modified && changed == other.changed;
    }
};

/// What the program knows of the volume a folder lies on.
struct VolumeFacts
{
    /// Tells one volume from another mounted in its place, such as a swapped USB disk.
    std::uint64_t id = 0;
    /// Whether every change to a folder's entries, made by this system or by another, moves the
    /// folder's times: true on the local file systems known to keep them so; false where another
    /// system may write without it (FAT, exFAT, network shares, FUSE) or the kind is unknown.
    bool foldersShowEveryChange = false;
};

/// Which side of a copy a folder is opened for; folders opened from it keep the side.
enum class FolderSide {
    /// A link is listed as a Link, with its own time and what it leads to (linkTarget); it is
    /// never opened as a folder, but stat follows it, so one to a file can be copied as the file.
    Source,
    /// Nothing below the opened folder is reached through a symbolic link or another reparse
    /// point: such an entry is reported as a Link. Listing also clears away temporary files
    /// that a copy killed part way left behind.
    Destination,
};

/// A copy written under a temporary name in its destination folder, not yet under its own.
struct WrittenFile
{
    /// The name the copy takes when it is published.
    std::string name;
    /// The name it is written under.
    std::string temporaryName;
    /// The bytes copied.
    std::uint64_t bytes = 0;
    /// The source's modification time, which the copy keeps.
    FileTime modified;
    /// Whether the caller found something under the name, which publishing then replaces.
    bool replacesTarget = false;
};

/// Tells why an entry found in the destination may not be replaced by a copied file: a link is
/// never written through nor replaced, a read-only file is refused as Windows refuses it, and a
/// folder or special file cannot become a file. Nothing when it may.
FsStatus refusalToReplace(const EntryInfo& target);

/// Permission bits a folder made outside any copy gets before the process's mask.
inline constexpr std::uint32_t DefaultFolderPermissions = 0777;
/// Permission bits of a folder only its owner may enter, such as the folder of the run logs.
inline constexpr std::uint32_t PrivateFolderPermissions = 0700;

/// A folder opened once; every operation is relative to it, so a walk never rebuilds paths.
/// Once listed, a folder's files may be copied into it from several threads at once: stat,
/// writeCopy, publish, discard, identity, permissions and timeGranularity are safe to call
/// concurrently.
class OpenFolder
{
public:
    virtual ~OpenFolder() = default;

    /// Returns the folder's entries sorted by name. Temporary files of an interrupted copy are
    /// never listed; a destination folder removes those whose writer has ended. A folder entry
    /// carries its kind and attributes but no time, which the copy never compares.
    virtual FsResult<FolderListing> list() = 0;

    /// Returns the details of the named entry, following symbolic links on the source side.
    virtual FsResult<EntryInfo> stat(std::string_view name) = 0;

    /// Opens the named subfolder; on the destination side a link in its place is refused with
    /// LinkInDestination.
    virtual FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view name) = 0;

    /// Creates the named subfolder with these permission bits (less the process's mask; the
    /// owner always keeps full access, so later runs can write into it).
    virtual FsStatus createFolder(std::string_view name, std::uint32_t permissions) = 0;

    /// Writes a copy of the named file of 'source' into this folder under a temporary name, with
    /// its data, modification time and permissions; nothing is visible under the file's own name
    /// until publish. 'target' is what the caller found under that name here, or null when it
    /// found nothing; a target that refusalToReplace refuses is refused here too. A failure says
    /// which side it concerns, and leaves no temporary file. Holes of a sparse source stay holes
    /// where this file system keeps them. A stop request is honoured between the blocks of a
    /// large file: the copy then fails with Stopped.
    virtual FsResult<WrittenFile> writeCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target, const StopRequest* stop = nullptr)
        = 0;

    /// Writes a copy of the named symbolic link of 'source' (its target text unchanged, its own
    /// modification time) into this folder under a temporary name, as writeCopy does for a
    /// file. 'target' is what the caller found under the name: nothing or a link, which
    /// publishing then replaces. Fails where this folder cannot hold links.
    virtual FsResult<WrittenFile> writeLinkCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target)
        = 0;

    /// Tells whether this folder's file system holds symbolic links, learned once by writing a
    /// probe link. False where the probe cannot be written.
    virtual bool holdsLinks() = 0;

    /// Gives a written copy its own name, replacing the target it was written for; where the
    /// caller found nothing, a file that appeared under the name meanwhile is refused with
    /// AlreadyExists, a link with LinkInDestination. On failure the name keeps what it held and
    /// the copy stays under its temporary name, to be published again or discarded.
    virtual FsStatus publish(const WrittenFile& written) = 0;

    /// Removes a written copy that is not to be published.
    virtual void discard(const WrittenFile& written) = 0;

    /// Copies the named file of 'source' into this folder under the same name: writeCopy, then
    /// publish. The target appears only when complete: on failure an existing target is left as
    /// it was. Returns the number of bytes copied.
    FsResult<std::uint64_t> copyFileFrom(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target, const StopRequest* stop = nullptr);

    /// Writes everything the program wrote to this folder's file system out to the device, so a
    /// backup reported as done survives a crash or a drive pulled right after.
    virtual FsStatus flushToDevice() = 0;

    /// Returns how many bytes this folder's file system can still take, or nothing where it
    /// cannot tell.
    virtual std::optional<std::uint64_t> freeSpace() = 0;

    /// Returns the identity used to recognise a folder already on the walk.
    virtual FolderIdentity identity() = 0;

    /// Returns the folder's stamp as it was first read after the folder was opened (by this
    /// call or by identity), so a stamp taken before a listing never shows what came after it.
    virtual FsResult<FolderStamp> stamp() = 0;

    /// Returns what is known of the folder's volume.
    virtual VolumeFacts volume() = 0;

    /// Returns the folder's own permission bits (0777 where the system has none).
    virtual std::uint32_t permissions() = 0;

    /// Tells whether names that differ only in case name the same entry here, learned once by
    /// writing a probe file. False where the probe cannot be written.
    virtual bool foldsCase() = 0;

    /// Returns how finely this folder's file system stores modification times, learned by
    /// storing a probe time once per file system. Exact when the probe cannot be written.
    virtual TimeGranularity timeGranularity() = 0;
};

/// A new file written from its start to its end, such as a run's log. Each append reaches the
/// system at once, so a program that dies keeps what it wrote; the file is closed with the
/// writer.
class FileWriter
{
public:
    virtual ~FileWriter() = default;
    virtual FsStatus append(std::string_view text) = 0;
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

    /// Returns the drive the path lies on that the copy run tests before it copies (see
    /// driveOfPath), or nothing where there is none to test.
    virtual std::optional<std::string> driveOf(std::string_view path) = 0;

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

    /// Creates one folder; its parent must exist. The permission bits are taken as
    /// OpenFolder::createFolder takes them.
    virtual FsStatus createFolder(
        std::string_view path, std::uint32_t permissions = DefaultFolderPermissions)
        = 0;

    /// Opens the folder at the path for a walk. The path itself may be or pass through links;
    /// the side decides how entries below it are reached.
    virtual FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view path, FolderSide side)
        = 0;

    /// Returns the file's first 'maxBytes' bytes.
    virtual FsResult<std::string> readFile(std::string_view path, std::size_t maxBytes) = 0;

    /// Replaces the file's content: the new content is written beside it and renamed over it,
    /// so a failure leaves the old file as it was. A read-only file is refused. Flushed: the
    /// new content is on the device before it takes the name; Cached: a cache that a crash may
    /// leave old, cut short or empty, which its reader must tell.
    virtual FsStatus replaceFile(std::string_view path, std::string_view content,
        Durability durability = Durability::Flushed)
        = 0;

    /// Creates a file that must not exist yet (AlreadyExists otherwise), readable by its owner
    /// only, to be written from its start.
    virtual FsResult<std::unique_ptr<FileWriter>> createNewFile(std::string_view path) = 0;

    /// Deletes a file of the program's own, such as an old log; a copy never deletes anything.
    virtual FsStatus deleteFile(std::string_view path) = 0;
};

/// Returns the service backed by the operating system.
std::unique_ptr<FileSystem> createNativeFileSystem();

} // namespace rinvo
