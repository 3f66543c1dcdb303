#include "DriveRules.h"
#include "FileSystem.h"
#include "PathRules.h"
#include "ProcessStart.h"
#include "ScopedHandle.h"
#include "TempNames.h"
#include "WinSupport.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>

namespace rinvo {

namespace {

using win::lastError;
using win::ScopedFindHandle;
using win::ScopedKernelHandle;
using win::widen;

// CopyFileEx's COPY_FILE_ENABLE_SPARSE_COPY (Windows 11); older headers lack the name.
constexpr DWORD EnableSparseCopy = 0x20000000;

// An arbitrary odd second with nanoseconds, so every coarser storage shows in the result.
constexpr FileTime ProbeTime { 1'600'000'001, 456'789'100 };

std::wstring childPath(const std::wstring& folder, std::string_view name)
{
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + widen(name);
}

// Returns an entry's details; on the destination side a reparse point (a symbolic link, a
// junction) is a Link, whatever it points at. 'reparseTag' is the listing's tag of a reparse
// point, 0 where it is not known.
EntryInfo entryInfoOnSide(DWORD attributes, const FILETIME& modified, DWORD sizeHigh, DWORD sizeLow,
    FolderSide side, DWORD reparseTag = 0)
{
    EntryInfo info = win::entryInfoFrom(attributes, modified, sizeHigh, sizeLow);
    if (side == FolderSide::Destination && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        info.kind = EntryKind::Link;
    // NOTE: on the source side a junction or a link to a folder is never walked; a link to a
    // file is copied as the file, which CopyFileEx reads through it. Other reparse points (a
    // cloud file's placeholder folder) are ordinary folders.
    const bool link
        = reparseTag == IO_REPARSE_TAG_SYMLINK || reparseTag == IO_REPARSE_TAG_MOUNT_POINT;
    if (side == FolderSide::Source && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        && (attributes & FILE_ATTRIBUTE_DIRECTORY) && link) {
        info.kind = EntryKind::Link;
        info.linkTarget = EntryKind::Folder;
    }
    return info;
}

DWORD CALLBACK stopBetweenChunks(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
    DWORD, HANDLE, HANDLE, LPVOID stop)
{
    return stopRequested(static_cast<const StopRequest*>(stop)) ? PROGRESS_CANCEL
                                                                : PROGRESS_CONTINUE;
}

FsResult<EntryInfo> infoAt(const std::wstring& path, FolderSide side = FolderSide::Source)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return lastError();
    return entryInfoOnSide(
        data.dwFileAttributes, data.ftLastWriteTime, data.nFileSizeHigh, data.nFileSizeLow, side);
}

FsError onSide(FsError error, FailedSide side)
{
    error.side = side;
    return error;
}

// Writes a file's data out to its device. NOTE: a copy's data goes to the device before it can
// take its name; flushing a whole volume needs administrator rights on Windows, so each file is
// flushed. A read-only copy is opened for writing with its attribute lifted for the moment.
FsStatus flushFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool readOnly
        = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    FsStatus failed;
    {
        const ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !::FlushFileBuffers(file.get()))
            failed = lastError();
    }
    if (readOnly)
        ::SetFileAttributesW(path.c_str(), attributes);
    return failed;
}

// Removes a file, read-only or not.
void removeFile(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

class SharedState
{
public:
    std::string nextTempName() { return makeTempName(thisWriter(), m_tempCounter++); }

    template <class Probe> TimeGranularity granularity(std::uint64_t volume, Probe probe)
    {
        std::lock_guard lock(m_mutex);
        auto found = m_granularities.find(volume);
        if (found == m_granularities.end())
            found = m_granularities.emplace(volume, probe()).first;
        return found->second;
    }

private:
    std::atomic<std::uint64_t> m_tempCounter { 0 };
    std::mutex m_mutex;
    std::map<std::uint64_t, TimeGranularity> m_granularities;
};

class WinOpenFolder final : public OpenFolder
{
public:
    WinOpenFolder(std::wstring path, FolderSide side, SharedState& shared)
        : m_path(std::move(path))
        , m_side(side)
        , m_shared(shared)
    { }

    FsResult<FolderListing> list() override
    {
        // One FindFirstFileEx listing carries every entry's attributes, time and size.
        WIN32_FIND_DATAW data;
        const ScopedFindHandle find(::FindFirstFileExW(childPath(m_path, "*").c_str(),
            FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find)
            return lastError();
        FolderListing listing;
        do {
            const std::string name = win::narrow(data.cFileName);
            if (name == "." || name == "..")
                continue;
            if (auto writer = parseTempName(name)) {
                if (m_side == FolderSide::Destination && !writerRuns(*writer))
                    removeFile(childPath(m_path, name));
                continue;
            }
            listing.add(name,
                entryInfoOnSide(data.dwFileAttributes, data.ftLastWriteTime, data.nFileSizeHigh,
                    data.nFileSizeLow, m_side, data.dwReserved0));
        } while (::FindNextFileW(find.get(), &data));
        const DWORD ended = ::GetLastError();
        if (ended != ERROR_NO_MORE_FILES)
            return win::errorFromCode(ended);
        listing.sortByName();
        return listing;
    }

    FsResult<EntryInfo> stat(std::string_view name) override
    {
        return infoAt(childPath(m_path, name), m_side);
    }

    FsResult<std::unique_ptr<OpenFolder>> openFolder(std::string_view name) override
    {
        // NOTE: the destination refuses a reparse point before it is used; Win32 paths offer
        // no way to open relative to a folder, so a link planted in between is not caught.
        const std::wstring path = childPath(m_path, name);
        auto info = infoAt(path, m_side);
        if (!info)
            return info.error();
        if (info->kind == EntryKind::Link)
            return FsError { FsErrorKind::LinkInDestination, "reparse point" };
        if (info->kind != EntryKind::Folder)
            return win::errorFromCode(ERROR_DIRECTORY);
        return std::unique_ptr<OpenFolder>(new WinOpenFolder(path, m_side, m_shared));
    }

    FsStatus createFolder(std::string_view name, std::uint32_t) override
    {
        if (!::CreateDirectoryW(childPath(m_path, name).c_str(), nullptr))
            return lastError();
        return std::nullopt;
    }

    FsResult<WrittenFile> writeCopy(OpenFolder& source, std::string_view name,
        const EntryInfo& sourceInfo, const EntryInfo* target,
        const StopRequest* stop = nullptr) override
    {
        // NOTE: checked here too: Wine running as root lets CopyFile overwrite a read-only
        // file, which Windows refuses.
        if (target) {
            if (FsStatus refused = refusalToReplace(*target))
                return *refused;
        }
        auto& from = static_cast<WinOpenFolder&>(source);
        const std::wstring sourcePath = childPath(from.m_path, name);
        WrittenFile written { std::string(name), m_shared.nextTempName(), sourceInfo.size,
            sourceInfo.modified, target != nullptr };
        const std::wstring temp = childPath(m_path, written.temporaryName);
        // CopyFile brings the data, the last-write time and the attributes. A sparse source is
        // asked to stay sparse; a system that does not know the flag copies it whole.
        DWORD copyFlags = COPY_FILE_FAIL_IF_EXISTS;
        if (sourceInfo.attributes & SparseAttribute)
            copyFlags |= EnableSparseCopy;
        auto copy = [&](DWORD flags) {
            return ::CopyFileExW(sourcePath.c_str(), temp.c_str(), &stopBetweenChunks,
                const_cast<StopRequest*>(stop), nullptr, flags);
        };
        bool copied = copy(copyFlags);
        if (!copied && copyFlags != COPY_FILE_FAIL_IF_EXISTS
            && ::GetLastError() == ERROR_INVALID_PARAMETER) {
            removeFile(temp);
            copied = copy(COPY_FILE_FAIL_IF_EXISTS);
        }
        if (!copied) {
            const DWORD code = ::GetLastError();
            removeFile(temp);
            if (code == ERROR_REQUEST_ABORTED && stopRequested(stop))
                return FsError { FsErrorKind::Stopped, "stopped" };
            return onSide(win::errorFromCode(code), sideOfFailedCopy(sourcePath));
        }
        if (FsStatus failed = flushFile(temp)) {
            removeFile(temp);
            return onSide(*failed, FailedSide::Destination);
        }
        return written;
    }

    FsResult<WrittenFile> writeLinkCopy(
        OpenFolder&, std::string_view, const EntryInfo&, const EntryInfo*) override
    {
        return FsError { FsErrorKind::Other, "links are not copied on Windows",
            FailedSide::Destination };
    }

    bool holdsLinks() override { return false; }

    FsStatus publish(const WrittenFile& written) override
    {
        const std::wstring temp = childPath(m_path, written.temporaryName);
        const DWORD flags
            = MOVEFILE_WRITE_THROUGH | (written.replacesTarget ? MOVEFILE_REPLACE_EXISTING : 0);
        if (!::MoveFileExW(temp.c_str(), childPath(m_path, written.name).c_str(), flags))
            return onSide(lastError(), FailedSide::Destination);
        return std::nullopt;
    }

    void discard(const WrittenFile& written) override
    {
        removeFile(childPath(m_path, written.temporaryName));
    }

    std::uint32_t permissions() override { return 0777; }

    std::optional<std::uint64_t> freeSpace() override
    {
        ULARGE_INTEGER available {};
        // A share's path is taken only with its trailing separator.
        const std::wstring folder = m_path.ends_with(L'\\') ? m_path : m_path + L'\\';
        if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
            return std::nullopt;
        return available.QuadPart;
    }

    bool foldsCase() override
    {
        // NTFS and FAT fold case, but a folder can be made case-sensitive, so each folder
        // that needs to know is probed: a temporary name, looked up in upper case.
        if (m_foldsCase)
            return *m_foldsCase;
        const std::string probe = m_shared.nextTempName();
        const std::string upper = upperCaseSpelling(probe);
        const std::wstring probePath = childPath(m_path, probe);
        if (!ScopedKernelHandle(::CreateFileW(probePath.c_str(), GENERIC_WRITE, 0, nullptr,
                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)))
            return false;
        m_foldsCase
            = ::GetFileAttributesW(childPath(m_path, upper).c_str()) != INVALID_FILE_ATTRIBUTES;
        removeFile(probePath);
        return *m_foldsCase;
    }

    FsStatus flushToDevice() override
    {
        // NOTE: every copy was flushed before it took its name and moved into place with
        // MOVEFILE_WRITE_THROUGH; flushing a whole volume needs administrator rights on Windows,
        // so nothing more is done here.
        return std::nullopt;
    }

    FolderIdentity identity() override
    {
        readOwnInformation();
        return m_identity;
    }

    FsResult<FolderStamp> stamp() override
    {
        readOwnInformation();
        return m_stamp;
    }

    VolumeFacts volume() override
    {
        const ScopedKernelHandle handle(openOwnHandle());
        wchar_t fileSystem[MAX_PATH + 1] = {};
        DWORD serial = 0;
        if (!handle
            || !::GetVolumeInformationByHandleW(handle.get(), nullptr, 0, &serial, nullptr, nullptr,
                fileSystem, static_cast<DWORD>(std::size(fileSystem))))
            return {};
        // NOTE: NTFS and ReFS move a folder's times with every change to its entries; FAT,
        // exFAT and network shares may be written by another system that does not. A share
        // tells its server's file system ("NTFS" from a Windows server or Samba), and its
        // listings may come from the client's cache: a remote volume is never trusted.
        FILE_REMOTE_PROTOCOL_INFO remote {};
        const bool isRemote = m_path.starts_with(L"\\\\")
            || ::GetFileInformationByHandleEx(
                handle.get(), FileRemoteProtocolInfo, &remote, sizeof remote);
        const std::wstring_view kind = fileSystem;
        return { serial, !isRemote && (kind == L"NTFS" || kind == L"ReFS") };
    }

    TimeGranularity timeGranularity() override
    {
        return m_shared.granularity(identity().device, [this] { return probeGranularity(); });
    }

private:
    HANDLE openOwnHandle() const
    {
        return ::CreateFileW(m_path.c_str(), 0,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    }

    // Read once, on whichever thread first asks: copies into one folder may run on several.
    void readOwnInformation()
    {
        std::call_once(m_identityRead, [this] {
            const std::int64_t readAt = std::time(nullptr);
            const ScopedKernelHandle handle(openOwnHandle());
            BY_HANDLE_FILE_INFORMATION information;
            FILE_BASIC_INFO times {};
            if (!handle || !::GetFileInformationByHandle(handle.get(), &information)
                || !::GetFileInformationByHandleEx(
                    handle.get(), FileBasicInfo, &times, sizeof times)) {
                m_stamp = lastError();
                return;
            }
            m_identity = { information.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32)
                    | information.nFileIndexLow };
            auto timeOf = [](LARGE_INTEGER ticks) {
                FILETIME time { static_cast<DWORD>(ticks.QuadPart),
                    static_cast<DWORD>(ticks.QuadPart >> 32) };
                return win::fileTimeFrom(time);
            };
            m_stamp = FolderStamp { m_identity, timeOf(times.LastWriteTime),
                timeOf(times.ChangeTime), readAt };
        });
    }

    // CopyFile does not say which file failed it: a source that cannot be opened for reading
    // now is taken as the one.
    static FailedSide sideOfFailedCopy(const std::wstring& sourcePath)
    {
        const ScopedKernelHandle handle(::CreateFileW(sourcePath.c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL, nullptr));
        return handle ? FailedSide::Destination : FailedSide::Source;
    }

    TimeGranularity probeGranularity()
    {
        const std::wstring temp = childPath(m_path, m_shared.nextTempName());
        ScopedKernelHandle handle(::CreateFileW(
            temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle)
            return {};
        const FILETIME probe = win::toFileTime(ProbeTime);
        const bool set = ::SetFileTime(handle.get(), nullptr, nullptr, &probe);
        handle.reset();
        auto stored = infoAt(temp);
        removeFile(temp);
        if (!set || !stored)
            return {};
        return granularityFromProbe(ProbeTime, stored->modified);
    }

    std::wstring m_path;
    FolderSide m_side;
    SharedState& m_shared;
    std::optional<bool> m_foldsCase;
    std::once_flag m_identityRead;
    FolderIdentity m_identity;
    FsResult<FolderStamp> m_stamp = FsError { FsErrorKind::Other, "not read" };
};

// A new file written at its end, each append handed to the system at once.
class HandleWriter final : public FileWriter
{
public:
    explicit HandleWriter(ScopedKernelHandle handle)
        : m_handle(std::move(handle))
    { }
    FsStatus append(std::string_view text) override
    {
        for (std::size_t done = 0; done < text.size();) {
            const DWORD chunk
                = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
            DWORD written = 0;
            if (!::WriteFile(m_handle.get(), text.data() + done, chunk, &written, nullptr))
                return lastError();
            if (written == 0)
                return FsError { FsErrorKind::Other, "nothing written" };
            done += written;
        }
        return std::nullopt;
    }

private:
    ScopedKernelHandle m_handle;
};

class WinFileSystem final : public FileSystem
{
public:
    PathStyle pathStyle() const override { return PathStyle::Windows; }

    std::optional<std::string> driveOf(std::string_view path) override
    {
        return driveOfPath(path, PathStyle::Windows, {});
    }

    bool driveExists(std::string_view path) override
    {
        const std::string normal = normalizedPath(path, PathStyle::Windows);
        const bool designator
            = (normal.size() == 2 || (normal.size() == 3 && normal[2] == '\\')) && normal[1] == ':';
        if (!designator)
            return false;
        const std::wstring root = widen(normal.substr(0, 2)) + L"\\";
        return ::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR
            && ::GetDriveTypeW(root.c_str()) != DRIVE_UNKNOWN;
    }

    FsResult<EntryInfo> getInfo(std::string_view path) override
    {
        if (path.empty())
            return win::errorFromCode(ERROR_PATH_NOT_FOUND);
        return infoAt(win::win32Path(path));
    }

    FsStatus createFolder(std::string_view path, std::uint32_t = DefaultFolderPermissions) override
    {
        if (path.empty() || !::CreateDirectoryW(win::win32Path(path).c_str(), nullptr))
            return path.empty() ? win::errorFromCode(ERROR_PATH_NOT_FOUND) : lastError();
        return std::nullopt;
    }

    FsResult<std::unique_ptr<OpenFolder>> openFolder(
        std::string_view path, FolderSide side) override
    {
        auto info = getInfo(path);
        if (!info)
            return info.error();
        if (info->kind != EntryKind::Folder)
            return win::errorFromCode(ERROR_DIRECTORY);
        return std::unique_ptr<OpenFolder>(new WinOpenFolder(win::win32Path(path), side, m_shared));
    }

    FsResult<std::string> readFile(std::string_view path, std::size_t maxBytes) override
    {
        const ScopedKernelHandle handle(::CreateFileW(win::win32Path(path).c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
            nullptr));
        if (!handle)
            return lastError();
        std::string content;
        char buffer[16384];
        for (;;) {
            DWORD got = 0;
            const DWORD wanted
                = static_cast<DWORD>(std::min(sizeof buffer, maxBytes - content.size()));
            if (wanted == 0)
                break;
            if (!::ReadFile(handle.get(), buffer, wanted, &got, nullptr))
                return lastError();
            if (got == 0)
                break;
            content.append(buffer, got);
        }
        return content;
    }

    FsStatus replaceFile(
        std::string_view path, std::string_view content, Durability durability) override
    {
        const std::wstring target = win::win32Path(path);
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return FsError { FsErrorKind::PermissionDenied, "read-only file" };
        const std::wstring temp
            = win::widen(parentPath(normalizedPath(path, PathStyle::Windows), PathStyle::Windows));
        const std::wstring tempPath = childPath(temp, m_shared.nextTempName());
        ScopedKernelHandle handle(::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr,
            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle)
            return lastError();
        DWORD written = 0;
        const bool ok = ::WriteFile(handle.get(), content.data(),
                            static_cast<DWORD>(content.size()), &written, nullptr)
            && written == content.size()
            && (durability == Durability::Cached || ::FlushFileBuffers(handle.get()));
        const FsError error = ok ? FsError {} : lastError();
        handle.reset();
        const DWORD moveFlags = durability == Durability::Flushed
            ? MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
            : MOVEFILE_REPLACE_EXISTING;
        if (!ok || !::MoveFileExW(tempPath.c_str(), target.c_str(), moveFlags)) {
            const FsError failure = ok ? lastError() : error;
            removeFile(tempPath);
            return failure;
        }
        return std::nullopt;
    }

    FsResult<std::unique_ptr<FileWriter>> createNewFile(std::string_view path) override
    {
        // Others may read a log while it is written.
        ScopedKernelHandle handle(::CreateFileW(win::win32Path(path).c_str(), FILE_APPEND_DATA,
            FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle)
            return lastError();
        return std::unique_ptr<FileWriter>(std::make_unique<HandleWriter>(std::move(handle)));
    }

    FsStatus deleteFile(std::string_view path) override
    {
        if (!::DeleteFileW(win::win32Path(path).c_str()))
            return lastError();
        return std::nullopt;
    }

private:
    SharedState m_shared;
};

} // namespace

std::unique_ptr<FileSystem> createNativeFileSystem()
{
    return std::make_unique<WinFileSystem>();
}

} // namespace rinvo
