#include "EntryDecision.h"

namespace rinvo {

namespace {

// A source time later than the destination's by less than this may be the destination's
// rounding (FAT keeps two seconds), so only then is the destination's granularity needed.
constexpr std::int64_t CoarsestGranularity = 2 * NanosecondsPerSecond;

} // namespace

bool isLeftOut(const EntryInfo& entry, CopyOption option)
{
    return isExcludedByOption(entry.attributes, option) || entry.kind == EntryKind::Special;
}

bool isLater(FileTime source, FileTime target, const GranularityQuery& granularity)
{
    if (source <= target)
        return false;
    if (differenceInNanoseconds(source, target) >= CoarsestGranularity)
        return true;
    if (!granularity)
        return false;
    return isStrictlyLater(source, target, granularity());
}

FileDecision decideFile(const EntryInfo& source, const EntryInfo* target, CopyOption option,
    const GranularityQuery& granularity)
{
    if (isLeftOut(source, option))
        return { FileAction::Excluded, std::nullopt };
    if (!target)
        return { FileAction::Copy, std::nullopt };
    if (source.kind == EntryKind::Link) {
        // NOTE: a link replaces only a link, and only an older one; a file or folder of its name
        // stays as it is.
        if (target->kind != EntryKind::Link)
            return { FileAction::Refused,
                FsError { FsErrorKind::AlreadyExists, "a file or folder has the link's name",
                    FailedSide::Destination } };
        if (!isLater(source.modified, target->modified, granularity))
            return { FileAction::UpToDate, std::nullopt };
        return { FileAction::Copy, std::nullopt };
    }
    // Only a plain file is compared by time; a link, a folder or a special file under the name
    // is refused whatever its time.
    if (target->kind == EntryKind::File && !isLater(source.modified, target->modified, granularity))
        return { FileAction::UpToDate, std::nullopt };
    if (FsStatus refused = refusalToReplace(*target))
        return { FileAction::Refused, std::move(refused) };
    return { FileAction::Copy, std::nullopt };
}

} // namespace rinvo
