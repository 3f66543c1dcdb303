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
    case EROFS:
        kind = FsErrorKind::PermissionDenied;
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
        kind = FsErrorKind::DeviceUnavailable;
        break;
    default:
        break;
    }
    return { kind, std::system_category().message(error) };
}

FsError lastError()
{
    return errorFromErrno(errno);
}

EntryInfo entryInfoFromStat(const struct stat& st, std::string_view name)
{
    EntryInfo info;
    if (S_ISDIR(st.st_mode)) {
        info.kind = EntryKind::Folder;
        info.attributes |= DirectoryAttribute;
    } else if (S_ISREG(st.st_mode)) {
        info.kind = EntryKind::File;
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

namespace {

// The kernel answers these when a method cannot be used between the two files at all.
bool methodUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
        || error == ENOTTY || error == EBADF || error == EPERM;
}

constexpr std::size_t MaxChunk = std::size_t(1) << 30;

FsStatus copyByReadWrite(int in, int out, std::uint64_t remaining)
{
    static thread_local char buffer[1 << 17];
    while (remaining > 0) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return lastError();
            }
            done += put;
        }
        remaining -= std::min<std::uint64_t>(remaining, static_cast<std::uint64_t>(got));
    }
    return std::nullopt;
}

// Runs one of the kernel-side copy calls until 'size' bytes have moved or the source ends.
// Returns the errno of the first call when the method is unsupported, so the caller can
// fall back with nothing written yet.
template <class Call> FsStatus copyInKernel(std::uint64_t size, Call call, bool& unsupported)
{
    std::uint64_t done = 0;
    while (done < size) {
        const std::size_t chunk
            = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, MaxChunk));
        const ssize_t moved = call(chunk);
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            if (done == 0 && methodUnsupported(errno)) {
                unsupported = true;
                return std::nullopt;
            }
            return lastError();
        }
        if (moved == 0)
            break;
        done += static_cast<std::uint64_t>(moved);
    }
    return std::nullopt;
}

} // namespace

FsStatus copyFileData(int in, int out, std::uint64_t size, CopyMethod& method)
{
    if (size == 0)
        return std::nullopt;
    if (method == CopyMethod::Unknown || method == CopyMethod::Clone) {
        if (::ioctl(out, FICLONE, in) == 0) {
            method = CopyMethod::Clone;
            return std::nullopt;
        }
        if (method == CopyMethod::Clone && !methodUnsupported(errno))
            return lastError();
        method = CopyMethod::CopyFileRange;
    }
    if (method == CopyMethod::CopyFileRange) {
        bool unsupported = false;
        FsStatus status = copyInKernel(
            size,
            [&](std::size_t chunk) {
                return ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
            },
            unsupported);
        if (!unsupported)
            return status;
        method = CopyMethod::SendFile;
    }
    if (method == CopyMethod::SendFile) {
        bool unsupported = false;
        FsStatus status = copyInKernel(
            size, [&](std::size_t chunk) { return ::sendfile(out, in, nullptr, chunk); },
            unsupported);
        if (!unsupported)
            return status;
        method = CopyMethod::ReadWrite;
    }
    return copyByReadWrite(in, out, size);
}

} // namespace rinvo::posix
