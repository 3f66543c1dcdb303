#pragma once

#include "platform/FileTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace rinvo::testing {

/// A real folder under the system's temporary folder, removed with everything in it (read-only
/// parts included) when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    /// Returns the folder's path joined with a relative path.
    std::string operator/(std::string_view relative) const;

private:
    std::string m_path;
};

/// Writes a file (creating its folders) and sets its modification time.
void writeFile(
    const std::string& path, std::string_view data, FileTime modified = { 1'700'000'000, 0 });
void makeFolders(const std::string& path);
/// Takes away write permission: the read-only attribute on Windows.
void makeReadOnly(const std::string& path);
std::optional<std::string> readFile(const std::string& path);
std::optional<FileTime> modifiedTime(const std::string& path);
void setModifiedTime(const std::string& path, FileTime modified);
/// Returns the number of entries below the folder, recursively, or -1 when it does not exist.
int countEntries(const std::string& path);

} // namespace rinvo::testing
