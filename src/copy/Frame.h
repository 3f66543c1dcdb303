#pragma once

#include "CaseClashes.h"
#include "WalkOrder.h"

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rinvo {

/// The destination side of one folder on the walk.
struct Destination
{
    /// The open folder; null only in a dry run, for a folder that does not exist yet.
    std::unique_ptr<OpenFolder> folder;
    /// The folder's entries; none when it is new or could not be listed.
    std::optional<FolderListing> entries;
    bool isNew = false;
    /// The entries came from the destination index: what a folder's times cannot show (a file
    /// rewritten in place, made newer or read-only) is looked at afresh before a file is replaced.
    bool fromIndex = false;
};

/// A folder on the way from the walk's root down to the folder being walked: what a subfolder
/// must not be, or the walk would not end.
struct WalkedFolder
{
    FolderIdentity identity;
    std::shared_ptr<const WalkedFolder> parent;
};

/// One folder on the walk: both sides and the source's entries, set when the folder is entered,
/// and the files still to copy and subfolders still to enter, handed out by the walk.
struct Frame
{
    std::unique_ptr<OpenFolder> source;
    Destination destination;
    FolderListing listing;
    /// Entries that a case-folding destination cannot hold beside an earlier name.
    std::vector<CaseClash> clashes;
    /// The listing positions of the files whose copy is still to be tried; they all come
    /// before the first subfolder.
    std::vector<std::uint32_t> files;
    /// The listing positions of the subfolders to enter.
    std::vector<std::uint32_t> subfolders;
    std::string sourcePath;
    std::string destinationPath;
    /// Where the folder comes in a one-thread walk, so its failures can be put in that order.
    WalkPlace place;
    std::shared_ptr<const WalkedFolder> walked;

    // Kept by the walk under its lock: how many files and subfolders have been handed out, how
    // many threads copy some of the files now, and the entries dealt with so far (left out,
    // settled by the listings, or handed out).
    std::size_t nextFile = 0;
    std::size_t nextSubfolder = 0;
    unsigned copiers = 0;
    std::size_t examined = 0;

    bool hasFilesLeft() const { return nextFile < files.size(); }
    bool hasSubfoldersLeft() const { return nextSubfolder < subfolders.size(); }
    bool hasWorkLeft() const { return hasFilesLeft() || hasSubfoldersLeft(); }
    std::size_t unexamined() const { return listing.size() - examined; }
};

} // namespace rinvo
