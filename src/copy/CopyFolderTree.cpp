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
    FolderTreeCopier(FileSystem& fs, CopyOption option, CopyReport& report,
        const CopyProgress& progress, CopyMode mode)
        : m_fs(fs)
        , m_option(option)
        , m_report(report)
        , m_progress(progress)
        , m_mode(mode)
        , m_style(fs.pathStyle())
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
        // The open folder; null only in a dry run, for a folder that does not exist yet.
        OpenFolder* folder;
        const std::string& path;
        // The folder's entries; none when it is new or could not be listed.
        std::optional<std::vector<FolderEntry>> entries;
        bool isNew = false;
    };

    // A destination subfolder, opened or made (or, in a dry run, found missing).
    struct OpenedDestination
    {
        std::unique_ptr<OpenFolder> folder;
        bool isNew = false;
    };

    bool dryRun() const { return m_mode == CopyMode::DryRun; }
    void walk(OpenFolder& source, const std::string& sourcePath, Destination& destination);
    void listBothSides(
        Destination& destination, OpenFolder& source, FsResult<std::vector<FolderEntry>>& listing);
    void copySubfolder(OpenFolder& source, const std::string& sourcePath, Destination& destination,
        const std::string& name);
    bool copyFile(OpenFolder& source, const std::string& sourcePath, Destination& destination,
        const FolderEntry& entry);
    std::optional<OpenedDestination> openOrCreate(
        Destination& parent, const std::string& name, const std::string& path);
    bool isLater(const EntryInfo& source, const EntryInfo& target, OpenFolder& destination);
    bool isOnWalk(const FolderIdentity& id) const;
    void fileDone(const std::string& sourceFolder, std::string_view name);
    void flushIfCopied(
        OpenFolder* destination, const std::string& path, std::uint64_t copiedBefore);

    FileSystem& m_fs;
    CopyOption m_option;
    CopyReport& m_report;
    const CopyProgress& m_progress;
    CopyMode m_mode;
    PathStyle m_style;
    std::vector<FolderIdentity> m_walkPath;
    std::optional<FolderIdentity> m_destinationRoot;
    std::optional<WorkerThread> m_helper;
};

void FolderTreeCopier::fileDone(const std::string& sourceFolder, std::string_view name)
{
    if (m_progress)
        m_progress(sourceFolder, name);
}

void FolderTreeCopier::flushIfCopied(
    OpenFolder* destination, const std::string& path, std::uint64_t copiedBefore)
{
    // NOTE: one flush per row rather than one per file: a per-file flush costs more than
    // copying a small file, and the copies only have to be safe once the row is reported done.
    if (dryRun() || !destination || m_report.filesCopied == copiedBefore)
        return;
    if (FsStatus failed = destination->flushToDevice())
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
    // A dry run does not write the probe that tells the granularity, so it assumes the coarsest.
    if (dryRun())
        return false;
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
    Destination destination { destinationFolder->get(), destinationPath, std::nullopt, false };
    FolderEntry entry { std::string(lastComponent(src, m_style)), *info, std::nullopt };
    const std::uint64_t copiedBefore = m_report.filesCopied;
    copyFile(**sourceFolder, sourceFolderPath, destination, entry);
    flushIfCopied(destinationFolder->get(), destinationPath, copiedBefore);
}

void FolderTreeCopier::copyTree(std::string_view src, std::string_view dst)
{
    bool isNew = false;
    if (!m_fs.folderExists(dst)) {
        if (FsStatus failed = dryRun() ? FsStatus {} : m_fs.createFolder(dst)) {
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
    std::unique_ptr<OpenFolder> destinationFolder;
    if (!(dryRun() && isNew)) {
        auto opened = m_fs.openFolder(destinationPath);
        if (!opened) {
            m_report.addFailure(destinationPath, opened.error());
            return;
        }
        destinationFolder = std::move(*opened);
        // NOTE: a destination inside its own source is never walked as source, so the copy
        // cannot feed on itself.
        m_destinationRoot = destinationFolder->identity();
    }
    m_walkPath.assign(1, (*source)->identity());
    Destination destination { destinationFolder.get(), destinationPath, std::nullopt, isNew };
    const std::uint64_t copiedBefore = m_report.filesCopied;
    walk(**source, sourcePath, destination);
    flushIfCopied(destinationFolder.get(), destinationPath, copiedBefore);
}

void FolderTreeCopier::listBothSides(
    Destination& destination, OpenFolder& source, FsResult<std::vector<FolderEntry>>& listing)
{
    // The destination's details are read on the helper while the source's are read here; a
    // destination that could not be listed is looked up name by name instead.
    std::optional<FsResult<std::vector<FolderEntry>>> destinationListing;
    auto read = [&] {
        destinationListing.emplace(destination.folder->list(ListingPurpose::Destination));
    };
    if (m_helper)
        m_helper->post(read);
    listing = source.list(ListingPurpose::Source);
    if (m_helper)
        m_helper->wait();
    else
        read();
    if (*destinationListing)
        destination.entries = std::move(destinationListing->value());
}

void FolderTreeCopier::walk(
    OpenFolder& source, const std::string& sourcePath, Destination& destination)
{
    FsResult<std::vector<FolderEntry>> listing = FsError {};
    if (destination.isNew || !destination.folder)
        listing = source.list(ListingPurpose::Source);
    else
        listBothSides(destination, source, listing);
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
    auto childDestination = openOrCreate(destination, name, childDestinationPath);
    if (!childSource) {
        m_report.addFailure(childSourcePath, childSource.error());
        return;
    }
    if (!childDestination)
        return;
    Destination child { childDestination->folder.get(), childDestinationPath, std::nullopt,
        childDestination->isNew };
    m_walkPath.push_back((*childSource)->identity());
    walk(**childSource, childSourcePath, child);
    m_walkPath.pop_back();
}

std::optional<FolderTreeCopier::OpenedDestination> FolderTreeCopier::openOrCreate(
    Destination& parent, const std::string& name, const std::string& path)
{
    if (!parent.folder)
        return OpenedDestination { nullptr, true };
    const bool known = parent.isNew || parent.entries;
    const bool present = !parent.isNew && parent.entries && findEntry(*parent.entries, name);
    if (!known || present) {
        auto opened = parent.folder->openFolder(name);
        if (opened)
            return OpenedDestination { std::move(*opened), false };
        if (present || opened.error().kind != FsErrorKind::PathNotFound) {
            // A file in the folder's place: creating the folder would fail the same way.
            FsError error = opened.error();
            if (error.kind == FsErrorKind::PathNotFound)
                error.kind = FsErrorKind::AlreadyExists;
            m_report.addFailure(path, error);
            return std::nullopt;
        }
    }
    if (dryRun())
        return OpenedDestination { nullptr, true };
    bool isNew = false;
    if (FsStatus failed = parent.folder->createFolder(name)) {
        if (failed->kind != FsErrorKind::AlreadyExists) {
            m_report.addFailure(path, *failed);
            return std::nullopt;
        }
    } else {
        isNew = true;
    }
    auto opened = parent.folder->openFolder(name);
    if (!opened) {
        m_report.addFailure(path, opened.error());
        return std::nullopt;
    }
    return OpenedDestination { std::move(*opened), isNew };
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
        const bool lookUp = destination.folder
            && (round > 0 || (!destination.isNew && !destination.entries)
                || (listed && listed->error));
        if (listed && !listed->error) {
            target = listed->info;
        } else if (lookUp) {
            auto found = destination.folder->stat(name);
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
            && !isLater(entry.info, *target, *destination.folder)) {
            ++m_report.filesUpToDate;
            return true;
        }
        if (dryRun()) {
            // The refusals a copy would meet are foreseen; everything else counts as copied.
            if (target
                && (target->kind != EntryKind::File || (target->attributes & ReadOnlyAttribute)))
                m_report.addFailure(joinPath(destination.path, name, m_style),
                    { FsErrorKind::PermissionDenied, "read-only file, or a folder of that name" });
            else {
                ++m_report.filesCopied;
                m_report.bytesCopied += entry.info.size;
            }
            fileDone(sourcePath, name);
            return true;
        }
        auto copied = destination.folder->copyFileFrom(
            source, name, entry.info, target ? &*target : nullptr);
        if (copied) {
            ++m_report.filesCopied;
            m_report.bytesCopied += *copied;
            fileDone(sourcePath, name);
            return true;
        }
        const FsError& error = copied.error();
        if (error.kind == FsErrorKind::AlreadyExists && !target)
            continue;
        if (error.kind == FsErrorKind::PermissionDenied) {
            m_report.addFailure(joinPath(destination.path, name, m_style), error);
            fileDone(sourcePath, name);
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
    CopyReport& report, const CopyProgress& progress, CopyMode mode)
{
    FolderTreeCopier copier(fs, option, report, progress, mode);
    if (fs.fileExists(src))
        copier.copySingleFile(src, dst);
    else
        copier.copyTree(src, dst);
}

} // namespace rinvo
