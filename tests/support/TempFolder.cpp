#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <random>

namespace rinvo::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate
            = fs::temp_directory_path() / ("rinvo-test-" + std::to_string(random() % 1000000000));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
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

void makeReadOnly(const std::string& path)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
        fs::perm_options::remove);
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
