#include "PosixSupport.h"

#include <cerrno>
#include <system_error>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace rinvo::posix {

FsError errorFromErrno(int error)
{
    FsErrorKind kind = FsErrorKind::Other;
    switch (error) {
    case EACCES:
    case EPERM:
        kind = FsErrorKind::PermissionDenied;
        break;
    case EROFS:
        kind = FsErrorKind::ReadOnlyVolume;
        break;
    case ENOENT:
    case ENOTDIR:
        kind = FsErrorKind::PathNotFound;
        break;
    case ENOSPC:
    case EDQUOT:
        kind = FsErrorKind::DiskFull;
        break;
    case EEXIST:
        kind = FsErrorKind::AlreadyExists;
        break;
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ENOTCONN:
    case ESHUTDOWN:
    case EHOSTDOWN:
        kind = FsErrorKind::DeviceUnavailable;
        break;
    default:
        break;
    }
    return { kind, std::system_category().message(error), FailedSide::Unknown, true };
}

FsError lastError()
{
    return errorFromErrno(errno);
}

// Holes in smaller files are not worth the extra look-ups their data regions take.
constexpr off_t SparseWorthKeeping = 64 * 1024;

EntryInfo entryInfoFromStat(const struct stat& st, std::string_view name)
{
    EntryInfo info;
    if (S_ISDIR(st.st_mode)) {
        info.kind = EntryKind::Folder;
        info.attributes |= DirectoryAttribute;
    } else if (S_ISREG(st.st_mode)) {
        info.kind = EntryKind::File;
        // Fewer blocks than the size needs: holes worth keeping, as a disk image has.
        if (st.st_size >= SparseWorthKeeping && st.st_blocks * 512 < st.st_size)
            info.attributes |= SparseAttribute;
    } else if (S_ISLNK(st.st_mode)) {
        info.kind = EntryKind::Link;
    } else {
        info.kind = EntryKind::Special;
        info.attributes |= SystemAttribute;
    }
    if (!name.empty() && name.front() == '.')
        info.attributes |= HiddenAttribute;
    // Owner write is what a replace needs, also for root, who would otherwise write anything.
    if (!(st.st_mode & S_IWUSR))
        info.attributes |= ReadOnlyAttribute;
    info.modified = { static_cast<std::int64_t>(st.st_mtim.tv_sec),
        static_cast<std::int32_t>(st.st_mtim.tv_nsec) };
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.permissions = st.st_mode & 07777;
    return info;
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int FileDescriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

FsStatus FileDescriptor::close()
{
    const int fd = release();
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        return lastError();
    return std::nullopt;
}

FsStatus writeAll(int fd, std::string_view text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return lastError();
        done += static_cast<std::size_t>(put);
    }
    return std::nullopt;
}

namespace {

// The kernel answers these when a method cannot be used between the two files at all.
bool methodUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
        || error == ENOTTY || error == EBADF || error == EPERM;
}

FsError failureOn(FailedSide side)
{
    FsError error = lastError();
    error.side = side;
    return error;
}

// NOTE: blocks of 64 MiB: few enough calls not to slow a large copy, small enough that a
// request to stop is honoured within a fraction of a second even in a 50 GB file.
constexpr std::size_t MaxChunk = std::size_t(64) << 20;

FsError stoppedError()
{
    return { FsErrorKind::Stopped, "stopped" };
}

// Copies from 'offset' until 'end' or the source's end, with plain reads and writes, so each
// failure is known to be the source's or the target's. Returns the offset reached.
FsResult<std::uint64_t> copyByReadWrite(
    int in, int out, std::uint64_t offset, std::uint64_t end, const StopRequest* stop = nullptr)
{
    static thread_local char buffer[1 << 17];
    std::uint64_t sinceCheck = 0;
    while (offset < end) {
        if (sinceCheck >= MaxChunk) {
            if (stopRequested(stop))
                return stoppedError();
            sinceCheck = 0;
        }
        const std::size_t wanted
            = static_cast<std::size_t>(std::min<std::uint64_t>(end - offset, sizeof buffer));
        const ssize_t got = ::pread(in, buffer, wanted, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failureOn(FailedSide::Source);
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(out, buffer + done, static_cast<std::size_t>(got - done),
                static_cast<off_t>(offset) + done);
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return failureOn(FailedSide::Destination);
            }
            done += put;
        }
        offset += static_cast<std::uint64_t>(got);
        sinceCheck += static_cast<std::uint64_t>(got);
    }
    return offset;
}

// Copies a file whose size says nothing (procfs and sysfs report 0): read until its end.
FsResult<std::uint64_t> copyToEnd(int in, int out, const StopRequest* stop)
{
    std::uint64_t done = 0;
    for (;;) {
        if (stopRequested(stop))
            return stoppedError();
        auto reached = copyByReadWrite(in, out, done, done + (std::uint64_t(1) << 20));
        if (!reached)
            return reached.error();
        if (*reached < done + (std::uint64_t(1) << 20))
            return *reached;
        done = *reached;
    }
}

// Copies [offset, end) with the fastest method that works between the two files; a failure
// in the kernel's copy, which does not say whose it was, is retried with reads and writes,
// which do. Returns the offset reached, short of 'end' when the source is shorter.
FsResult<std::uint64_t> copyRange(int in, int out, std::uint64_t offset, std::uint64_t end,
    CopyMethod& method, const StopRequest* stop)
{
    while (
        offset < end && (method == CopyMethod::CopyFileRange || method == CopyMethod::SendFile)) {
        if (stopRequested(stop))
            return stoppedError();
        const std::size_t chunk
            = static_cast<std::size_t>(std::min<std::uint64_t>(end - offset, MaxChunk));
        ssize_t moved;
        if (method == CopyMethod::CopyFileRange) {
            loff_t from = static_cast<loff_t>(offset);
            loff_t to = static_cast<loff_t>(offset);
            moved = ::copy_file_range(in, &from, out, &to, chunk, 0);
        } else {
            off_t from = static_cast<off_t>(offset);
            moved = ::lseek(out, static_cast<off_t>(offset), SEEK_SET) < 0
                ? -1
                : ::sendfile(out, in, &from, chunk);
        }
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            if (methodUnsupported(errno)) {
                method = method == CopyMethod::CopyFileRange ? CopyMethod::SendFile
                                                             : CopyMethod::ReadWrite;
                continue;
            }
            break;
        }
        if (moved == 0)
            return offset;
        offset += static_cast<std::uint64_t>(moved);
    }
    return copyByReadWrite(in, out, offset, end, stop);
}

// Copies only the data regions of a file with holes, and gives the target the same size, so
// a 4 GiB image holding 4 MiB of data takes 4 MiB. A file system without holes fills them
// with zeros when the size is set.
FsResult<std::uint64_t> copyDataRegions(
    int in, int out, std::uint64_t size, CopyMethod& method, const StopRequest* stop)
{
    std::uint64_t offset = 0;
    while (offset < size) {
        const off_t data = ::lseek(in, static_cast<off_t>(offset), SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO)
                break;
            if (errno != EINVAL && errno != EOPNOTSUPP)
                return failureOn(FailedSide::Source);
            // No way to find the holes here: the rest is copied as data.
            auto reached = copyRange(in, out, offset, size, method, stop);
            if (!reached)
                return reached.error();
            offset = *reached;
            break;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0)
            return failureOn(FailedSide::Source);
        const std::uint64_t end = std::min<std::uint64_t>(static_cast<std::uint64_t>(hole), size);
        auto reached = copyRange(in, out, static_cast<std::uint64_t>(data), end, method, stop);
        if (!reached)
            return reached.error();
        offset = end;
        if (*reached < end)
            break;
    }
    if (::ftruncate(out, static_cast<off_t>(size)) != 0)
        return failureOn(FailedSide::Destination);
    return size;
}

} // namespace

FsResult<std::uint64_t> copyFileData(int in, int out, std::uint64_t size, std::uint32_t attributes,
    CopyMethod& method, const StopRequest* stop)
{
    if (size == 0)
        return copyToEnd(in, out, stop);
    CopyMethod rangeMethod = method;
    if (method == CopyMethod::Unknown || method == CopyMethod::Clone) {
        // A clone shares the blocks, holes included.
        if (::ioctl(out, FICLONE, in) == 0) {
            method = CopyMethod::Clone;
            return size;
        }
        // A clone that failed for another reason is not given up for later files; this one is
        // copied, which also tells whose failure it was.
        if (method == CopyMethod::Unknown || methodUnsupported(errno))
            method = CopyMethod::CopyFileRange;
        rangeMethod = CopyMethod::CopyFileRange;
    }
    const auto copied = (attributes & SparseAttribute)
        ? copyDataRegions(in, out, size, rangeMethod, stop)
        : copyRange(in, out, 0, size, rangeMethod, stop);
    if (method != CopyMethod::Clone)
        method = rangeMethod;
    return copied;
}

} // namespace rinvo::posix
