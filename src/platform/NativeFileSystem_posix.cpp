#include "DriveRules.h"
#include "FileSystem.h"
#include "PathRules.h"
#include "PosixSupport.h"
#include "ProcessStart.h"
#include "TempNames.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace rinvo {

namespace {

using posix::FileDescriptor;

// An arbitrary odd second with nanoseconds, so every coarser storage shows in the result.
constexpr FileTime ProbeTime { 1'600'000'001, 456'789'123 };

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// How a destination device keeps the modification times the copy sets.
struct DeviceTraits
{
    TimeGranularity granularity;
    // Some FUSE file systems stamp a renamed file with the current time; there the time is
    // set again by name once the file is in place.
    bool timeSurvivesRename = true;
    // Whether a rename can be told not to replace (sshfs and other FUSE file systems refuse);
    // where it cannot, the name is looked up first, which costs a round trip on a share.
    bool renamesWithoutReplacing = true;
    // Whether symbolic links can be made (FAT and many shares cannot).
    bool holdsLinks = false;
};

// Whether a failed rename told not to replace failed only because the file system cannot be
// told so.
bool refusesNoReplace(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool closeTo(FileTime a, FileTime b)
{
    return std::llabs(differenceInNanoseconds(a, b)) <= 2 * NanosecondsPerSecond;
}

// State shared by every folder opened through one service object.
class SharedState
{
public:
    SharedState()
    {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        m_umask = mask;
    }

    mode_t umask() const { return m_umask; }

    std::string nextTempName() { return makeTempName(thisWriter(), m_tempCounter++); }

    // How data is best copied between the two devices, as far as copies have learned; copies
    // on other threads may learn it at the same time, so each works on its own copy.
    posix::CopyMethod copyMethod(std::uint64_t fromDevice, std::uint64_t toDevice)
    {
        std::lock_guard lock(m_mutex);
        return m_copyMethods[{ fromDevice, toDevice }];
    }

    void learnCopyMethod(std::uint64_t fromDevice, std::uint64_t toDevice, posix::CopyMethod method)
    {
        std::lock_guard lock(m_mutex);
        m_copyMethods[{ fromDevice, toDevice }] = method;
    }

    // Returns what a probe learned of the device, running it on first use.
    template <class Probe> DeviceTraits deviceTraits(std::uint64_t device, Probe probe)
    {
        std::lock_guard lock(m_mutex);
        auto found = m_devices.find(device);
        if (found == m_devices.end())
            found = m_devices.emplace(device, probe()).first;
        return found->second;
    }

private:
    mode_t m_umask = 022;
    std::atomic<std::uint64_t> m_tempCounter { 0 };
    std::mutex m_mutex;
    std::map<std::pair<std::uint64_t, std::uint64_t>, posix::CopyMethod> m_copyMethods;
    std::map<std::uint64_t, DeviceTraits> m_devices;
};

class PosixOpenFolder final : public OpenFolder
{
public:
    PosixOpenFolder(FileDescriptor fd, FolderSide side, SharedState& shared)
        : m_fd(std::move(fd))
        , m_side(side)
        , m_shared(shared)
    { }

    FsResult<FolderListing> list() override;
    FsResult<EntryInfo> stat(std::string_view name) override;
    FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view name) override;
    FsStatus createFolder(std::string_view name, std::uint32_t permissions) override;
    FsResult<WrittenFile> writeCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target,
        const StopRequest* stop = nullptr) override;
    FsResult<WrittenFile> writeLinkCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target) override;
    bool holdsLinks() override { return deviceTraits().holdsLinks; }
    FsStatus publish(const WrittenFile& written) override;
    void discard(const WrittenFile& written) override;
    FsStatus flushToDevice() override;
    std::optional<std::uint64_t> freeSpace() override;
    FolderIdentity identity() override;
    FsResult<FolderStamp> stamp() override;
    VolumeFacts volume() override;
    std::uint32_t permissions() override;
    TimeGranularity timeGranularity() override;
    bool foldsCase() override;

private:
    bool followsLinks() const { return m_side == FolderSide::Source; }
    FsResult<std::uint64_t> writeTemporaryCopy(PosixOpenFolder& from, const std::string& name,
        const EntryInfo& sourceInfo, const StopRequest* stop, std::string& temp);
    FsStatus renameIntoPlace(const WrittenFile& written);
    void readOwnStat();
    DeviceTraits deviceTraits();
    DeviceTraits probeDevice();
    FsStatus setTimeByName(const std::string& name, FileTime time);
    void fillEntry(FolderListing& listing, std::size_t index, unsigned char type);

    FileDescriptor m_fd;
    FolderSide m_side;
    SharedState& m_shared;
    // Read once, on whichever thread first asks: copies into one folder may run on several.
    std::once_flag m_traitsRead;
    DeviceTraits m_traits;
    std::optional<bool> m_foldsCase;
    bool m_listed = false;
    std::once_flag m_ownStatRead;
    FolderIdentity m_identity;
    std::uint32_t m_permissions = 0777;
    FsResult<FolderStamp> m_stamp = FsError { FsErrorKind::Other, "not read" };
};

// Failures of the destination's own operations concern the destination.
FsError destinationError(FsError error)
{
    error.side = FailedSide::Destination;
    return error;
}

void PosixOpenFolder::fillEntry(FolderListing& listing, std::size_t index, unsigned char type)
{
    // A real folder needs no stat: its name gives the hidden bit and it carries no time
    // the copy compares. Special files are known from their type alone and never touched.
    const char* name = listing.nameData(index);
    EntryInfo info;
    switch (type) {
    case DT_DIR:
        info.kind = EntryKind::Folder;
        info.attributes = DirectoryAttribute;
        break;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK:
        info.kind = EntryKind::Special;
        info.attributes = SystemAttribute;
        break;
    default: {
        // NOTE: a link is listed as itself, with its own time, on both sides; the source side
        // also tells what it leads to. No link is ever walked as a folder.
        struct stat st;
        if (::fstatat(m_fd.get(), name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            listing.setError(index, posix::lastError());
            return;
        }
        info = posix::entryInfoFromStat(st, name);
        if (info.kind == EntryKind::Link && followsLinks()) {
            struct stat target;
            if (::fstatat(m_fd.get(), name, &target, 0) == 0)
                info.linkTarget = posix::entryInfoFromStat(target, name).kind;
        }
        listing.setInfo(index, info);
        return;
    }
    }
    if (name[0] == '.')
        info.attributes |= HiddenAttribute;
    listing.setInfo(index, info);
}

namespace {

constexpr std::size_t ChunkBytes = 64 * 1024;

// Reads the next chunk of a folder's records; 0 at its end, -1 with errno on failure.
ssize_t readChunk(int fd, char* into)
{
    for (;;) {
        const ssize_t got = ::getdents64(fd, into, ChunkBytes);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// Hands each record of a chunk but "." and ".." to 'visit'.
template <class Visit> void visitChunk(const char* chunk, ssize_t size, Visit& visit)
{
    for (ssize_t offset = 0; offset < size;) {
        const auto* record = reinterpret_cast<const struct dirent64*>(chunk + offset);
        offset += record->d_reclen;
        if (!isDotOrDotDot(record->d_name))
            visit(*record);
    }
}

// Reads the rest of a folder's records chunk by chunk into 'buffer', handing each to 'visit'.
template <class Visit> FsStatus visitRest(int fd, char* buffer, Visit& visit)
{
    for (;;) {
        const ssize_t got = readChunk(fd, buffer);
        if (got < 0)
            return posix::lastError();
        if (got == 0)
            return std::nullopt;
        visitChunk(buffer, got, visit);
    }
}

} // namespace

FsResult<FolderListing> PosixOpenFolder::list()
{
    static thread_local std::vector<char> buffer(2 * ChunkBytes);
    char* const first = buffer.data();
    char* const second = buffer.data() + ChunkBytes;
    const int fd = m_fd.get();
    if (m_listed && ::lseek(fd, 0, SEEK_SET) < 0)
        return posix::lastError();
    m_listed = true;

    // NOTE: the listing is made at its exact size, counted before it is kept: growing it by
    // doubling would hold up to twice the memory at the peak, which matters for folders of
    // hundreds of thousands of entries. A folder that fits one chunk is counted in memory;
    // a larger one is read twice.
    std::size_t entries = 0;
    std::size_t nameBytes = 0;
    auto count = [&](const struct dirent64& record) {
        ++entries;
        nameBytes += std::strlen(record.d_name) + 1;
    };
    const ssize_t firstSize = readChunk(fd, first);
    const ssize_t secondSize = firstSize > 0 ? readChunk(fd, second) : 0;
    if (firstSize < 0 || secondSize < 0)
        return posix::lastError();
    const bool oneChunk = secondSize == 0;
    visitChunk(first, firstSize, count);
    if (!oneChunk) {
        visitChunk(second, secondSize, count);
        if (FsStatus failed = visitRest(fd, first, count))
            return *failed;
        if (::lseek(fd, 0, SEEK_SET) < 0)
            return posix::lastError();
    }

    FolderListing listing;
    listing.reserve(entries, nameBytes);
    std::vector<unsigned char> types;
    types.reserve(entries);
    auto keep = [&](const struct dirent64& record) {
        if (auto writer = parseTempName(record.d_name)) {
            // A leftover of a killed copy is never a user's file; the destination
            // side clears it away once its writer is gone.
            if (m_side == FolderSide::Destination && !writerRuns(*writer))
                ::unlinkat(fd, record.d_name, 0);
            return;
        }
        // An entry added between the two readings is left to the next run.
        if (types.size() == entries)
            return;
        listing.add(record.d_name, {});
        types.push_back(record.d_type);
    };
    if (oneChunk)
        visitChunk(first, firstSize, keep);
    else if (FsStatus failed = visitRest(fd, first, keep))
        return *failed;
    for (std::size_t i = 0; i < listing.size(); ++i)
        fillEntry(listing, i, types[i]);
    listing.sortByName();
    return listing;
}

FsResult<EntryInfo> PosixOpenFolder::stat(std::string_view name)
{
    struct stat st;
    if (::fstatat(
            m_fd.get(), std::string(name).c_str(), &st, followsLinks() ? 0 : AT_SYMLINK_NOFOLLOW)
        != 0)
        return posix::lastError();
    return posix::entryInfoFromStat(st, name);
}

FsResult<std::unique_ptr<OpenFolder>> PosixOpenFolder::openFolder(std::string_view name)
{
    // NOTE: O_NOFOLLOW on both sides: a link planted in a folder's place never leads the walk
    // out of the tree, nor redirects the copy, and since the folder is opened relative to its
    // parent there is no moment between a check and its use.
    FileDescriptor fd(::openat(m_fd.get(), std::string(name).c_str(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    if (!fd.valid()) {
        if (errno == ELOOP && !followsLinks())
            return FsError { FsErrorKind::LinkInDestination, posix::lastError().message };
        return posix::lastError();
    }
    return std::unique_ptr<OpenFolder>(new PosixOpenFolder(std::move(fd), m_side, m_shared));
}

FsStatus PosixOpenFolder::createFolder(std::string_view name, std::uint32_t permissions)
{
    // The owner keeps full access so later runs can write into the folder; the mask and the
    // source's bits keep it from ever being more open to others than the source.
    const mode_t mode = static_cast<mode_t>((permissions | 0700) & 0777);
    if (::mkdirat(m_fd.get(), std::string(name).c_str(), mode) != 0)
        return posix::lastError();
    return std::nullopt;
}

FsStatus PosixOpenFolder::flushToDevice()
{
    if (::syncfs(m_fd.get()) != 0)
        return posix::lastError();
    return std::nullopt;
}

std::optional<std::uint64_t> PosixOpenFolder::freeSpace()
{
    struct statvfs volume;
    if (::fstatvfs(m_fd.get(), &volume) != 0)
        return std::nullopt;
    // What an unprivileged writer can still use: the blocks kept for root do not count.
    return static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
}

void PosixOpenFolder::readOwnStat()
{
    std::call_once(m_ownStatRead, [this] {
        const std::int64_t readAt = std::time(nullptr);
        struct stat st;
        if (::fstat(m_fd.get(), &st) != 0) {
            m_stamp = posix::lastError();
            return;
        }
        m_identity
            = { static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino) };
        m_permissions = st.st_mode & 0777;
        m_stamp = FolderStamp { m_identity,
            { static_cast<std::int64_t>(st.st_mtim.tv_sec),
                static_cast<std::int32_t>(st.st_mtim.tv_nsec) },
            { static_cast<std::int64_t>(st.st_ctim.tv_sec),
                static_cast<std::int32_t>(st.st_ctim.tv_nsec) },
            readAt };
    });
}

FsResult<FolderStamp> PosixOpenFolder::stamp()
{
    readOwnStat();
    return m_stamp;
}

VolumeFacts PosixOpenFolder::volume()
{
    struct statfs volume;
    if (::fstatfs(m_fd.get(), &volume) != 0)
        return {};
    // NOTE: on these the kernel moves a folder's times with every change to its entries, and
    // only this kernel writes them. FAT and exFAT keep no change time and are written by other
    // systems too; a network share or a FUSE volume may change without the kernel seeing it.
    constexpr unsigned long Ext234 = 0xEF53, Xfs = 0x58465342, Btrfs = 0x9123683E,
                            Tmpfs = 0x01021994, F2fs = 0xF2F52010;
    const auto kind = static_cast<unsigned long>(volume.f_type);
    int fsid[2];
    static_assert(sizeof fsid == sizeof volume.f_fsid);
    std::memcpy(fsid, &volume.f_fsid, sizeof fsid);
    return { (static_cast<std::uint64_t>(static_cast<std::uint32_t>(fsid[0])) << 32)
            | static_cast<std::uint32_t>(fsid[1]),
        kind == Ext234 || kind == Xfs || kind == Btrfs || kind == Tmpfs || kind == F2fs };
}

FolderIdentity PosixOpenFolder::identity()
{
    readOwnStat();
    return m_identity;
}

std::uint32_t PosixOpenFolder::permissions()
{
    readOwnStat();
    return m_permissions;
}

bool PosixOpenFolder::foldsCase()
{
    // Case folding is a property of the folder (ext4 sets it per folder), so each folder
    // that needs to know writes its own probe: a temporary name, looked up in upper case.
    if (m_foldsCase)
        return *m_foldsCase;
    const std::string probe = m_shared.nextTempName();
    const std::string upper = upperCaseSpelling(probe);
    FileDescriptor fd(::openat(m_fd.get(), probe.c_str(),
        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return false;
    fd.close();
    struct stat st;
    m_foldsCase = ::fstatat(m_fd.get(), upper.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    ::unlinkat(m_fd.get(), probe.c_str(), 0);
    return *m_foldsCase;
}

TimeGranularity PosixOpenFolder::timeGranularity()
{
    return deviceTraits().granularity;
}

DeviceTraits PosixOpenFolder::deviceTraits()
{
    std::call_once(m_traitsRead, [this] {
        m_traits = m_shared.deviceTraits(identity().device, [this] { return probeDevice(); });
    });
    return m_traits;
}

FsStatus PosixOpenFolder::setTimeByName(const std::string& name, FileTime time)
{
    const struct timespec times[2] = { { 0, UTIME_NOW }, { time.seconds, time.nanoseconds } };
    if (::utimensat(m_fd.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return posix::lastError();
    return std::nullopt;
}

// Repeats what a copy does (write, set the time on the open file, close, rename) with a
// probe time, and reads back what the file system kept. A probe that cannot be written,
// as on a read-only destination, leaves the exact defaults.
DeviceTraits PosixOpenFolder::probeDevice()
{
    DeviceTraits traits;
    const std::string written = m_shared.nextTempName();
    const std::string renamed = m_shared.nextTempName();
    FileDescriptor fd(
        ::openat(m_fd.get(), written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid())
        return traits;
    const struct timespec times[2]
        = { { 0, UTIME_NOW }, { ProbeTime.seconds, ProbeTime.nanoseconds } };
    struct stat st;
    auto rename = [&] {
        if (::renameat2(m_fd.get(), written.c_str(), m_fd.get(), renamed.c_str(), RENAME_NOREPLACE)
            == 0)
            return true;
        if (!refusesNoReplace(errno))
            return false;
        traits.renamesWithoutReplacing = false;
        return ::renameat(m_fd.get(), written.c_str(), m_fd.get(), renamed.c_str()) == 0;
    };
    const bool done = ::write(fd.get(), "p", 1) == 1 && ::futimens(fd.get(), times) == 0
        && !fd.close() && rename()
        && ::fstatat(m_fd.get(), renamed.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (done) {
        FileTime kept = posix::entryInfoFromStat(st, renamed).modified;
        if (!closeTo(kept, ProbeTime)) {
            traits.timeSurvivesRename = false;
            if (!setTimeByName(renamed, ProbeTime)
                && ::fstatat(m_fd.get(), renamed.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
                kept = posix::entryInfoFromStat(st, renamed).modified;
        }
        traits.granularity = granularityFromProbe(ProbeTime, kept);
    }
    ::unlinkat(m_fd.get(), written.c_str(), 0);
    ::unlinkat(m_fd.get(), renamed.c_str(), 0);
    const std::string link = m_shared.nextTempName();
    traits.holdsLinks = ::symlinkat("probe", m_fd.get(), link.c_str()) == 0;
    ::unlinkat(m_fd.get(), link.c_str(), 0);
    return traits;
}

FsResult<std::uint64_t> PosixOpenFolder::writeTemporaryCopy(PosixOpenFolder& from,
    const std::string& name, const EntryInfo& sourceInfo, const StopRequest* stop,
    std::string& temp)
{
    // O_NONBLOCK keeps a file that turned into a FIFO since the listing from blocking, and
    // O_NOFOLLOW one that turned into a link from leading the copy out of the tree, unless the
    // file is one reached through a link.
    const int noFollow = sourceInfo.linkTarget == EntryKind::File ? 0 : O_NOFOLLOW;
    FileDescriptor in(::openat(
        from.m_fd.get(), name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | noFollow));
    if (!in.valid()) {
        FsError error = posix::lastError();
        error.side = FailedSide::Source;
        return error;
    }
    const mode_t wanted = sourceInfo.permissions & 0777;
    FileDescriptor out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        temp = m_shared.nextTempName();
        out = FileDescriptor(::openat(m_fd.get(), temp.c_str(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, wanted));
        if (!out.valid() && errno != EEXIST)
            break;
    }
    if (!out.valid()) {
        temp.clear();
        return destinationError(posix::lastError());
    }

    const std::uint64_t fromDevice = from.identity().device;
    const posix::CopyMethod known = m_shared.copyMethod(fromDevice, identity().device);
    posix::CopyMethod method = known;
    auto copied = posix::copyFileData(
        in.get(), out.get(), sourceInfo.size, sourceInfo.attributes, method, stop);
    if (method != known)
        m_shared.learnCopyMethod(fromDevice, identity().device, method);
    if (!copied)
        return copied.error();
    // The time is set on the open file after the last write, so no write can move it again.
    // NOTE: the access time is set to now rather than left alone: some FUSE file systems
    // (fusefat) take an omitted access time as a request to stamp the modification time.
    const struct timespec times[2]
        = { { 0, UTIME_NOW }, { sourceInfo.modified.seconds, sourceInfo.modified.nanoseconds } };
    if (::futimens(out.get(), times) != 0)
        return destinationError(posix::lastError());
    // A file system without permission bits (FAT) still takes the file; only the time counts.
    if ((wanted & ~m_shared.umask()) != wanted)
        ::fchmod(out.get(), wanted);
    if (FsStatus failed = out.close())
        return destinationError(*failed);
    return *copied;
}

FsResult<WrittenFile> PosixOpenFolder::writeCopy(OpenFolder& source, std::string_view name,
    const EntryInfo& sourceInfo, const EntryInfo* target, const StopRequest* stop)
{
    if (target) {
        if (FsStatus refused = refusalToReplace(*target))
            return *refused;
    }
    WrittenFile written { std::string(name), {}, 0, sourceInfo.modified, target != nullptr };
    auto copied = writeTemporaryCopy(static_cast<PosixOpenFolder&>(source), written.name,
        sourceInfo, stop, written.temporaryName);
    if (!copied) {
        if (!written.temporaryName.empty())
            discard(written);
        return copied.error();
    }
    written.bytes = *copied;
    return written;
}

FsResult<WrittenFile> PosixOpenFolder::writeLinkCopy(
    OpenFolder& source, std::string_view name, const EntryInfo& sourceInfo, const EntryInfo* target)
{
    if (target && target->kind != EntryKind::Link)
        return FsError { FsErrorKind::AlreadyExists, "a file or folder has the link's name",
            FailedSide::Destination };
    const std::string fileName(name);
    // The target text is read as it stands and never followed; a file system that reports an
    // absurd size is not believed.
    constexpr std::uint64_t LongestTarget = 64 << 10;
    std::string text(std::clamp<std::uint64_t>(sourceInfo.size, 64, LongestTarget) + 1, '\0');
    const ssize_t length = ::readlinkat(static_cast<PosixOpenFolder&>(source).m_fd.get(),
        fileName.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size()) {
        FsError error = length < 0 ? posix::lastError() : posix::errorFromErrno(EAGAIN);
        error.side = FailedSide::Source;
        return error;
    }
    text.resize(static_cast<std::size_t>(length));
    WrittenFile written { fileName, m_shared.nextTempName(), text.size(), sourceInfo.modified,
        target != nullptr };
    if (::symlinkat(text.c_str(), m_fd.get(), written.temporaryName.c_str()) != 0)
        return destinationError(posix::lastError());
    if (FsStatus failed = setTimeByName(written.temporaryName, sourceInfo.modified)) {
        discard(written);
        return destinationError(*failed);
    }
    return written;
}

FsStatus PosixOpenFolder::publish(const WrittenFile& written)
{
    if (FsStatus failed = renameIntoPlace(written))
        return destinationError(*failed);
    if (!deviceTraits().timeSurvivesRename) {
        if (FsStatus failed = setTimeByName(written.name, written.modified))
            return destinationError(*failed);
    }
    return std::nullopt;
}

void PosixOpenFolder::discard(const WrittenFile& written)
{
    ::unlinkat(m_fd.get(), written.temporaryName.c_str(), 0);
}

FsStatus PosixOpenFolder::renameIntoPlace(const WrittenFile& written)
{
    const int dir = m_fd.get();
    const char* temp = written.temporaryName.c_str();
    const char* name = written.name.c_str();
    if (written.replacesTarget) {
        if (::renameat(dir, temp, dir, name) != 0)
            return posix::lastError();
        return std::nullopt;
    }
    // Where the caller found nothing, a file that appeared meanwhile is not replaced blindly.
    if (deviceTraits().renamesWithoutReplacing) {
        if (::renameat2(dir, temp, dir, name, RENAME_NOREPLACE) == 0)
            return std::nullopt;
        if (!refusesNoReplace(errno))
            return posix::lastError();
    }
    struct stat st;
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return posix::errorFromErrno(EEXIST);
    if (::renameat(dir, temp, dir, name) != 0)
        return posix::lastError();
    return std::nullopt;
}

// A new file written at its end, each append handed to the system at once.
class DescriptorWriter final : public FileWriter
{
public:
    explicit DescriptorWriter(FileDescriptor fd)
        : m_fd(std::move(fd))
    { }
    FsStatus append(std::string_view text) override { return posix::writeAll(m_fd.get(), text); }

private:
    FileDescriptor m_fd;
};

class PosixFileSystem final : public FileSystem
{
public:
    PathStyle pathStyle() const override { return PathStyle::Posix; }

    std::optional<std::string> driveOf(std::string_view path) override
    {
        // Read once: the drives the system is configured to mount.
        std::call_once(m_tableRead, [this] {
            FileDescriptor table(::open("/etc/fstab", O_RDONLY | O_CLOEXEC));
            std::string text;
            char chunk[4096];
            ssize_t got = 0;
            while (table.valid() && (got = ::read(table.get(), chunk, sizeof chunk)) > 0)
                text.append(chunk, static_cast<std::size_t>(got));
            m_configuredMounts = mountPointsOfTable(text);
        });
        return driveOfPath(path, PathStyle::Posix, m_configuredMounts);
    }

    bool driveExists(std::string_view path) override
    {
        // A mount point is a folder on another device than its parent, or the root itself.
        if (path.empty() || path.front() != '/')
            return false;
        const std::string folder = trimTrailingSeparator(path, PathStyle::Posix);
        struct stat self;
        struct stat parent;
        if (::stat(folder.c_str(), &self) != 0 || !S_ISDIR(self.st_mode))
            return false;
        if (::stat((folder == "/" ? folder : folder + "/..").c_str(), &parent) != 0)
            return false;
        return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
    }

    FsResult<EntryInfo> getInfo(std::string_view path) override
    {
        struct stat st;
        if (path.empty())
            return posix::errorFromErrno(ENOENT);
        if (::stat(std::string(path).c_str(), &st) != 0)
            return posix::lastError();
        return posix::entryInfoFromStat(st, lastComponent(path, PathStyle::Posix));
    }

    FsStatus createFolder(
        std::string_view path, std::uint32_t permissions = DefaultFolderPermissions) override
    {
        if (path.empty())
            return posix::errorFromErrno(ENOENT);
        const mode_t mode = static_cast<mode_t>((permissions | 0700) & 0777);
        if (::mkdir(std::string(path).c_str(), mode) != 0)
            return posix::lastError();
        return std::nullopt;
    }

    FsResult<std::unique_ptr<OpenFolder>> openFolder(
        std::string_view path, FolderSide side) override
    {
        if (path.empty())
            return posix::errorFromErrno(ENOENT);
        FileDescriptor fd(::open(
            std::string(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.valid())
            return posix::lastError();
        return std::unique_ptr<OpenFolder>(new PosixOpenFolder(std::move(fd), side, m_shared));
    }

    FsResult<std::string> readFile(std::string_view path, std::size_t maxBytes) override
    {
        FileDescriptor fd(
            ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.valid())
            return posix::lastError();
        struct stat st;
        if (::fstat(fd.get(), &st) != 0)
            return posix::lastError();
        if (!S_ISREG(st.st_mode))
            return posix::errorFromErrno(EISDIR);
        std::string content;
        char buffer[16384];
        while (content.size() < maxBytes) {
            const ssize_t got
                = ::read(fd.get(), buffer, std::min(sizeof buffer, maxBytes - content.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return posix::lastError();
            if (got == 0)
                break;
            content.append(buffer, static_cast<std::size_t>(got));
        }
        return content;
    }

    FsStatus replaceFile(
        std::string_view path, std::string_view content, Durability durability) override
    {
        const std::string target(path);
        mode_t mode = 0666 & ~m_shared.umask();
        struct stat st;
        if (::stat(target.c_str(), &st) == 0) {
            // A rename would replace a read-only file without asking, so it is refused here.
            if (!(st.st_mode & S_IWUSR))
                return FsError { FsErrorKind::PermissionDenied, "read-only file" };
            mode = st.st_mode & 0777;
        }
        const std::string folder = parentPath(target, PathStyle::Posix);
        const std::string temp = joinPath(folder, m_shared.nextTempName(), PathStyle::Posix);
        FileDescriptor fd(
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
        if (!fd.valid())
            return posix::lastError();
        auto fail = [&](FsError error) -> FsStatus {
            fd = FileDescriptor();
            ::unlink(temp.c_str());
            return error;
        };
        if (FsStatus failed = posix::writeAll(fd.get(), content))
            return fail(*failed);
        // The settings are small: they are made durable before they replace the old ones.
        if (durability == Durability::Flushed && ::fsync(fd.get()) != 0)
            return fail(posix::lastError());
        if (FsStatus failed = fd.close())
            return fail(*failed);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            return fail(posix::lastError());
        return std::nullopt;
    }

    FsResult<std::unique_ptr<FileWriter>> createNewFile(std::string_view path) override
    {
        FileDescriptor fd(::open(std::string(path).c_str(),
            O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOCTTY, 0600));
        if (!fd.valid())
            return posix::lastError();
        return std::unique_ptr<FileWriter>(std::make_unique<DescriptorWriter>(std::move(fd)));
    }

    FsStatus deleteFile(std::string_view path) override
    {
        if (::unlink(std::string(path).c_str()) != 0)
            return posix::lastError();
        return std::nullopt;
    }

private:
    SharedState m_shared;
    std::once_flag m_tableRead;
    std::vector<std::string> m_configuredMounts;
};

} // namespace

std::unique_ptr<FileSystem> createNativeFileSystem()
{
    return std::make_unique<PosixFileSystem>();
}

} // namespace rinvo
