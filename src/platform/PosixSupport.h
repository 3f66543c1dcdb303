#pragma once

// Helpers shared by the POSIX files of the platform layer; nothing outside it includes this.

#include "FileSystem.h"

#include <sys/stat.h>

namespace rinvo::posix {

/// Maps an errno value to the program's failure kinds, in this one place.
FsError errorFromErrno(int error);

/// Returns the failure for the errno the last system call left.
FsError lastError();

/// Fills the program's view of an entry from its stat data and name.
EntryInfo entryInfoFromStat(const struct stat& st, std::string_view name);

/// Owns a file descriptor and closes it when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    { }
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(other.release())
    { }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release();
    /// Closes now and reports the failure a delayed write may only show here.
    FsStatus close();

private:
    int m_fd;
};

/// Writes all of 'text' to the descriptor, resuming after a signal or a short write.
FsStatus writeAll(int fd, std::string_view text);

/// How file data moves between two devices; learned once per pair of devices.
enum class CopyMethod {
    Unknown,
    Clone,
    CopyFileRange,
    SendFile,
    ReadWrite,
};

/// Copies a file's data from one open file to another, trying the fastest method first and
/// remembering in 'method' the one that worked: 'size' bytes (fewer if the source shrank),
/// only the data regions of a sparse source, and a file whose size is 0 to its end, since
/// some virtual files report 0. A failure says whether the source or the target failed.
/// Returns the number of bytes the target holds.
/// A stop request is looked at between blocks; the copy then fails with Stopped.
FsResult<std::uint64_t> copyFileData(int in, int out, std::uint64_t size, std::uint32_t attributes,
    CopyMethod& method, const StopRequest* stop = nullptr);

} // namespace rinvo::posix
