#include "CopyFolderTree.h"

#include "WorkerThread.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Processors.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rinvo {

namespace {

// A source time later than the destination's by less than this may be the destination's
// rounding (FAT keeps two seconds), so only then is the destination's granularity needed.
constexpr std::int64_t CoarsestGranularity = 2 * NanosecondsPerSecond;

// Finds a name in a listing sorted by name.
const FolderEntry* findEntry(const std::vector<FolderEntry>& entries, const std::string& name)
{
    auto found = std::lower_bound(entries.begin(), entries.end(), name,
        [](const FolderEntry& entry, const std::string& key) { return entry.name < key; });
    return found != entries.end() && found->name == name ? &*found : nullptr;
}

class FolderTreeCopier
{
public:
    FolderTreeCopier(
        FileSystem& fs, CopyOption option, CopyReport& report, const CopyProgress& progress)
        : m_fs(fs)
        , m_option(option)
        , m_report(report)
        , m_progress(progress)
        , m_style(nativePathStyle())
    {
        // Reading the destination beside the source only pays where a second core runs it.
        if (usableProcessorCount() > 1)
            m_helper.emplace();
    }

    void copySingleFile(std::string_view src, std::string_view dst);
    void copyTree(std::string_view src, std::string_view dst);

private:
    // Where the destination side of a folder stands before its files are compared.
    struct Destination
    {
        OpenFolder& folder;
        const std::string& path;
        // The folder's entries; none when it was just created or could not be listed.
        std::optional<std::vector<FolderEntry>> entries;
        bool isNew = false;
    };

    void walk(OpenFolder& source, const std::string& sourcePath, Destination& destination);
    void copySubfolder(OpenFolder& source, const std::string& sourcePath, Destination& destination,
        const std::string& name);
    bool copyFile(OpenFolder& source, const std::string& sourcePath, Destination& destination,
        const FolderEntry& entry);
    std::optional<std::unique_ptr<OpenFolder>> openOrCreate(
        Destination& parent, const std::string& name, bool& isNew, const std::string& path);
    bool isLater(const EntryInfo& source, const EntryInfo& target, OpenFolder& destination);
    bool isOnWalk(const FolderIdentity& id) const;
    void fileDone(std::string_view name);
    void flushIfCopied(
        OpenFolder& destination, const std::string& path, std::uint64_t copiedBefore);

    FileSystem& m_fs;
    CopyOption m_option;
    CopyReport& m_report;
    const CopyProgress& m_progress;
    PathStyle m_style;
    std::vector<FolderIdentity> m_walkPath;
    std::optional<FolderIdentity> m_destinationRoot;
    std::optional<WorkerThread> m_helper;
};

void FolderTreeCopier::fileDone(std::string_view name)
{
    if (m_progress)
        m_progress(name);
}

void FolderTreeCopier::flushIfCopied(
    OpenFolder& destination, const std::string& path, std::uint64_t copiedBefore)
{
    // NOTE: one flush per row rather than one per file: a per-file flush costs more than
    // copying a small file, and the copies only have to be safe once the row is reported done.
    if (m_report.filesCopied == copiedBefore)
        return;
    if (FsStatus failed = destination.flushToDevice())
        m_report.addFailure(path, *failed);
}

bool FolderTreeCopier::isOnWalk(const FolderIdentity& id) const
{
    return std::find(m_walkPath.begin(), m_walkPath.end(), id) != m_walkPath.end()
        || (m_destinationRoot && *m_destinationRoot == id);
}

bool FolderTreeCopier::isLater(
    const EntryInfo& source, const EntryInfo& target, OpenFolder& destination)
{
    if (source.modified <= target.modified)
        return false;
    if (differenceInNanoseconds(source.modified, target.modified) >= CoarsestGranularity)
        return true;
    return isStrictlyLater(source.modified, target.modified, destination.timeGranularity());
}

void FolderTreeCopier::copySingleFile(std::string_view src, std::string_view dst)
{
    auto info = m_fs.getInfo(src);
    if (!info) {
        m_report.addFailure(std::string(src), info.error());
        return;
    }
    if (isExcludedByOption(info->attributes, m_option)) {
        ++m_report.entriesExcluded;
        return;
    }
    const std::string sourceFolderPath = parentPath(src, m_style);
    auto sourceFolder = m_fs.openFolder(sourceFolderPath);
    if (!sourceFolder) {
        m_report.addFailure(sourceFolderPath, sourceFolder.error());
        return;
    }
    const std::string destinationPath(dst);
    auto destinationFolder = m_fs.openFolder(destinationPath);
    if (!destinationFolder) {
        m_report.addFailure(destinationPath, destinationFolder.error());
        return;
    }
    Destination destination { **destinationFolder, destinationPath, std::nullopt, false };
    FolderEntry entry { std::string(lastComponent(src, m_style)), *info, std::nullopt };
    const std::uint64_t copiedBefore = m_report.filesCopied;
    copyFile(**sourceFolder, sourceFolderPath, destination, entry);
    flushIfCopied(**destinationFolder, destinationPath, copiedBefore);
}

void FolderTreeCopier::copyTree(std::string_view src, std::string_view dst)
{
    bool isNew = false;
    if (!m_fs.folderExists(dst)) {
        if (FsStatus failed = m_fs.createFolder(dst)) {
            // Every later step needs the folder, so the row ends here.
            m_report.addFailure(std::string(dst), *failed);
            return;
        }
        isNew = true;
    }
    const std::string sourcePath = trimTrailingSeparator(src, m_style);
    const std::string destinationPath = trimTrailingSeparator(dst, m_style);

    auto source = m_fs.openFolder(sourcePath);
    if (!source) {
        m_report.addFailure(sourcePath, source.error());
        return;
    }
    auto destinationFolder = m_fs.openFolder(destinationPath);
    if (!destinationFolder) {
        m_report.addFailure(destinationPath, destinationFolder.error());
        return;
    }
    // NOTE: a destination inside its own source is never walked as source, so the copy
    // cannot feed on itself.
    m_destinationRoot = (*destinationFolder)->identity();
    m_walkPath.assign(1, (*source)->identity());
    Destination destination { **destinationFolder, destinationPath, std::nullopt, isNew };
    const std::uint64_t copiedBefore = m_report.filesCopied;
    walk(**source, sourcePath, destination);
    flushIfCopied(**destinationFolder, destinationPath, copiedBefore);
}

void FolderTreeCopier::walk(
    OpenFolder& source, const std::string& sourcePath, Destination& destination)
{
    // The destination's details are read on the helper while the source's are read here;
    // a destination that could not be listed is looked up name by name instead.
    std::optional<FsResult<std::vector<FolderEntry>>> destinationListing;
    auto listDestination
        = [&] { destinationListing.emplace(destination.folder.list(ListingPurpose::Destination)); };
    if (!destination.isNew && m_helper)
        m_helper->post(listDestination);
    auto listing = source.list(ListingPurpose::Source);
    if (!destination.isNew) {
        if (m_helper)
            m_helper->wait();
        else
            listDestination();
        if (*destinationListing)
            destination.entries = std::move(destinationListing->value());
    }
    if (!listing) {
        m_report.addFailure(sourcePath, listing.error());
        return;
    }

    // All of a folder's files come before its first subfolder.
    for (const FolderEntry& entry : *listing) {
        if (!entry.error && entry.info.kind == EntryKind::Folder)
            continue;
        if (entry.error) {
            // An entry that cannot be looked at is left out; the folder goes on.
            m_report.addFailure(joinPath(sourcePath, entry.name, m_style), *entry.error);
            continue;
        }
        if (isExcludedByOption(entry.info.attributes, m_option)
            || entry.info.kind == EntryKind::Special) {
            ++m_report.entriesExcluded;
            continue;
        }
        if (!copyFile(source, sourcePath, destination, entry))
            return;
    }
    for (const FolderEntry& entry : *listing) {
        if (entry.error || entry.info.kind != EntryKind::Folder)
            continue;
        if (isExcludedByOption(entry.info.attributes, m_option)) {
            ++m_report.entriesExcluded;
            continue;
        }
        copySubfolder(source, sourcePath, destination, entry.name);
    }
}

void FolderTreeCopier::copySubfolder(OpenFolder& source, const std::string& sourcePath,
    Destination& destination, const std::string& name)
{
    const std::string childSourcePath = joinPath(sourcePath, name, m_style);
    const std::string childDestinationPath = joinPath(destination.path, name, m_style);
    auto childSource = source.openFolder(name);
    if (childSource && isOnWalk((*childSource)->identity())) {
        // A link back up the walk, or the destination itself: entering it would not end.
        ++m_report.entriesExcluded;
        return;
    }
    bool isNew = false;
    auto childDestination = openOrCreate(destination, name, isNew, childDestinationPath);
    if (!childSource) {
        m_report.addFailure(childSourcePath, childSource.error());
        return;
    }
    if (!childDestination)
        return;
    Destination child { **childDestination, childDestinationPath, std::nullopt, isNew };
    m_walkPath.push_back((*childSource)->identity());
    walk(**childSource, childSourcePath, child);
    m_walkPath.pop_back();
}

std::optional<std::unique_ptr<OpenFolder>> FolderTreeCopier::openOrCreate(
    Destination& parent, const std::string& name, bool& isNew, const std::string& path)
{
    const bool known = parent.isNew || parent.entries;
    const bool present = !parent.isNew && parent.entries && findEntry(*parent.entries, name);
    if (!known || present) {
        auto opened = parent.folder.openFolder(name);
        if (opened)
            return std::move(*opened);
        if (present || opened.error().kind != FsErrorKind::PathNotFound) {
            // A file in the folder's place: creating the folder would fail the same way.
            FsError error = opened.error();
            if (error.kind == FsErrorKind::PathNotFound)
                error.kind = FsErrorKind::AlreadyExists;
            m_report.addFailure(path, error);
            return std::nullopt;
        }
    }
    if (FsStatus failed = parent.folder.createFolder(name)) {
        if (failed->kind != FsErrorKind::AlreadyExists) {
            m_report.addFailure(path, *failed);
            return std::nullopt;
        }
    } else {
        isNew = true;
    }
    auto opened = parent.folder.openFolder(name);
    if (!opened) {
        m_report.addFailure(path, opened.error());
        return std::nullopt;
    }
    return std::move(*opened);
}

bool FolderTreeCopier::copyFile(OpenFolder& source, const std::string& sourcePath,
    Destination& destination, const FolderEntry& entry)
{
    const std::string& name = entry.name;
    // Two rounds at most: a file that appeared under the name meanwhile is compared anew.
    for (int round = 0; round < 2; ++round) {
        std::optional<EntryInfo> target;
        const FolderEntry* listed
            = destination.entries && round == 0 ? findEntry(*destination.entries, name) : nullptr;
        const bool lookUp = round > 0 || (!destination.isNew && !destination.entries)
            || (listed && listed->error);
        if (listed && !listed->error) {
            target = listed->info;
        } else if (lookUp) {
            auto found = destination.folder.stat(name);
            if (found) {
                target = *found;
            } else if (found.error().kind == FsErrorKind::PermissionDenied) {
                // The time cannot be compared, so the copy is attempted as if it were older;
                // a refused copy is recorded with its path below.
                m_report.CopyStatusFlags |= PermissionDeniedBit;
                target = EntryInfo {};
            } else if (found.error().kind != FsErrorKind::PathNotFound) {
                m_report.addFailure(joinPath(destination.path, name, m_style), found.error());
                return false;
            }
        }
        if (target && target->kind == EntryKind::File
            && !isLater(entry.info, *target, destination.folder)) {
            ++m_report.filesUpToDate;
            return true;
        }
        auto copied = destination.folder.copyFileFrom(
            source, name, entry.info, target ? &*target : nullptr);
        if (copied) {
            ++m_report.filesCopied;
            m_report.bytesCopied += *copied;
            fileDone(name);
            return true;
        }
        const FsError& error = copied.error();
        if (error.kind == FsErrorKind::AlreadyExists && !target)
            continue;
        if (error.kind == FsErrorKind::PermissionDenied) {
            m_report.addFailure(joinPath(destination.path, name, m_style), error);
            fileDone(name);
            return true;
        }
        if (error.kind == FsErrorKind::PathNotFound && !source.stat(name)) {
            // The source file went away since the listing: nothing is left to back up.
            return true;
        }
        m_report.addFailure(joinPath(sourcePath, name, m_style), error);
        return false;
    }
    return true;
}

} // namespace

void CopyFolderTree(FileSystem& fs, std::string_view src, std::string_view dst, CopyOption option,
    CopyReport& report, const CopyProgress& progress)
{
    FolderTreeCopier copier(fs, option, report, progress);
    if (fs.fileExists(src))
        copier.copySingleFile(src, dst);
    else
        copier.copyTree(src, dst);
}

} // namespace rinvo
