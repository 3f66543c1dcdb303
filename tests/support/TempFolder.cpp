#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>

namespace rinvo::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "rinvo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    // Read-only folders must be opened up before their contents can go.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_path, ignored);
}

std::string TempFolder::operator/(std::string_view relative) const
{
    return m_path + "/" + std::string(relative);
}

void makeFolders(const std::string& path)
{
    fs::create_directories(path);
}

void writeFile(const std::string& path, std::string_view data, FileTime modified)
{
    fs::create_directories(fs::path(path).parent_path());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
    setModifiedTime(path, modified);
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

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

int countEntries(const std::string& path)
{
    std::error_code error;
    if (!fs::exists(path, error))
        return -1;
    int count = 0;
    for (auto it = fs::recursive_directory_iterator(path, error);
         it != fs::recursive_directory_iterator(); it.increment(error))
        ++count;
    return count;
}

} // namespace rinvo::testing
