#include "WinSupport.h"

#include "PathRules.h"

namespace rinvo::win {

namespace {
constexpr std::int64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
} // namespace

std::wstring widen(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length
        = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), result.data(), length);
    return result;
}

std::string narrow(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int length = ::WideCharToMultiByte(
        CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), result.data(),
        length, nullptr, nullptr);
    return result;
}

FsError errorFromCode(DWORD code)
{
    FsErrorKind kind = FsErrorKind::Other;
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        kind = FsErrorKind::PermissionDenied;
        break;
    case ERROR_WRITE_PROTECT:
        kind = FsErrorKind::ReadOnlyVolume;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        kind = FsErrorKind::PathNotFound;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        kind = FsErrorKind::DiskFull;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        kind = FsErrorKind::AlreadyExists;
        break;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        kind = FsErrorKind::DeviceUnavailable;
        break;
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length ? narrow(std::wstring_view(text, length))
                                 : "Windows error " + std::to_string(code);
    if (text)
        ::LocalFree(text);
    while (!message.empty()
        && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return { kind, message, FailedSide::Unknown, true };
}

FsError lastError()
{
    return errorFromCode(::GetLastError());
}

FileTime fileTimeFrom(const FILETIME& time)
{
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return { ticks / TicksPerSecond - SecondsFrom1601To1970,
        static_cast<std::int32_t>((ticks % TicksPerSecond) * 100) };
}

FILETIME toFileTime(FileTime time)
{
    const std::uint64_t ticks = static_cast<std::uint64_t>(
        (time.seconds + SecondsFrom1601To1970) * TicksPerSecond + time.nanoseconds / 100);
    return { static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32) };
}

EntryInfo entryInfoFrom(DWORD attributes, const FILETIME& modified, DWORD sizeHigh, DWORD sizeLow)
{
    EntryInfo info;
    info.attributes = attributes
        & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
            | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SPARSE_FILE);
    info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
    info.permissions = (attributes & FILE_ATTRIBUTE_READONLY) ? 0555 : 0777;
    info.modified = fileTimeFrom(modified);
    info.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
    return info;
}

std::wstring win32Path(std::string_view path)
{
    std::string normal = normalizedPath(path, PathStyle::Windows);
    // A bare drive designator names that drive's root.
    if (normal.size() == 2 && normal[1] == ':')
        normal += '\\';
    return widen(normal);
}

} // namespace rinvo::win
