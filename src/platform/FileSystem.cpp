#include "FileSystem.h"

namespace rinvo {

FsStatus refusalToReplace(const EntryInfo& target)
{
    if (target.kind == EntryKind::Link)
        return FsError { FsErrorKind::LinkInDestination, "symbolic link", FailedSide::Destination };
    // NOTE: a folder or special file in the file's place is no read-only file: it is told as
    // a name taken, not with the read-only notice.
    if (target.kind != EntryKind::File)
        return FsError { FsErrorKind::AlreadyExists, "a folder or special file has that name",
            FailedSide::Destination };
    // NOTE: a rename would replace a read-only file without asking, so it is refused here.
    if (target.attributes & ReadOnlyAttribute)
        return FsError { FsErrorKind::PermissionDenied, "read-only file", FailedSide::Destination };
    return std::nullopt;
}

FsResult<std::uint64_t> OpenFolder::copyFileFrom(OpenFolder& source, std::string_view name,
    const EntryInfo& sourceInfo, const EntryInfo* target, const StopRequest* stop)
{
    FsResult<WrittenFile> written = writeCopy(source, name, sourceInfo, target, stop);
    if (!written)
        return written.error();
    if (FsStatus failed = publish(*written)) {
        discard(*written);
        return *failed;
    }
    return written->bytes;
}

} // namespace rinvo
