#include "TempFolder.h"

#include "platform/WinSupport.h"

#include <stdexcept>

namespace rinvo::testing {

std::optional<FileTime> modifiedTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(win::widen(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return win::fileTimeFrom(data.ftLastWriteTime);
}

void setModifiedTime(const std::string& path, FileTime modified)
{
    HANDLE handle = ::CreateFileW(win::widen(path).c_str(), FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    const FILETIME time = win::toFileTime(modified);
    const bool set = ::SetFileTime(handle, nullptr, nullptr, &time);
    ::CloseHandle(handle);
    if (!set)
        throw std::runtime_error("cannot set the time of " + path);
}

} // namespace rinvo::testing
