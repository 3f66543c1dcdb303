#include "TempFolder.h"

#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>

namespace rinvo::testing {

std::optional<FileTime> modifiedTime(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileTime { st.st_mtim.tv_sec, static_cast<std::int32_t>(st.st_mtim.tv_nsec) };
}

void setModifiedTime(const std::string& path, FileTime modified)
{
    const struct timespec times[2]
        = { { 0, UTIME_OMIT }, { modified.seconds, modified.nanoseconds } };
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

} // namespace rinvo::testing
