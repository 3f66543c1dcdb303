#include "TempFolder.h"

#include <stdexcept>

#include <windows.h>

namespace rinvo::testing {

namespace {
constexpr std::int64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;

std::wstring wide(const std::string& utf8)
{
    const int length
        = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), result.data(), length);
    return result;
}
} // namespace

std::optional<FileTime> modifiedTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32)
        | data.ftLastWriteTime.dwLowDateTime);
    return FileTime { ticks / TicksPerSecond - SecondsFrom1601To1970,
        static_cast<std::int32_t>((ticks % TicksPerSecond) * 100) };
}

void setModifiedTime(const std::string& path, FileTime modified)
{
    HANDLE handle = ::CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    const std::uint64_t ticks = static_cast<std::uint64_t>(
        (modified.seconds + SecondsFrom1601To1970) * TicksPerSecond + modified.nanoseconds / 100);
    const FILETIME time { static_cast<DWORD>(ticks & 0xFFFFFFFFu),
        static_cast<DWORD>(ticks >> 32) };
    const bool set = ::SetFileTime(handle, nullptr, nullptr, &time);
    ::CloseHandle(handle);
    if (!set)
        throw std::runtime_error("cannot set the time of " + path);
}

} // namespace rinvo::testing
