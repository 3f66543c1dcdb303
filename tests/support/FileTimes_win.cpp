#include "TempFolder.h"

#include "platform/ScopedHandle.h"
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
    const win::ScopedKernelHandle handle(::CreateFileW(win::widen(path).c_str(),
        FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        throw std::runtime_error("cannot open " + path);
    const FILETIME time = win::toFileTime(modified);
    if (!::SetFileTime(handle.get(), nullptr, nullptr, &time))
        throw std::runtime_error("cannot set the time of " + path);
}

} // namespace rinvo::testing
