#pragma once

#include "FileTime.h"
#include "FsError.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Attribute bits as the program tests them; the values are the Windows attribute bits.
enum Attribute : std::uint32_t {
    ReadOnlyAttribute = 1,
    HiddenAttribute = 2,
    SystemAttribute = 4,
    DirectoryAttribute = 16,
    /// The file has holes: only its data regions are copied, the rest stays a hole.
    SparseAttribute = 512,
};

/// What a folder entry is.
enum class EntryKind : std::uint8_t {
    File,
    Folder,
    /// FIFOs, sockets and device nodes: reported as system entries, never opened or copied.
    Special,
    /// A symbolic link (or, on Windows, a junction or a link to a folder), never walked.
    Link,
};

/// What the program knows of one file or folder.
struct EntryInfo
{
    EntryKind kind = EntryKind::File;
    std::uint32_t attributes = 0;
    FileTime modified;
    std::uint64_t size = 0;
    /// POSIX permission bits; unused on Windows, where the read-only attribute stands for them.
    std::uint32_t permissions = 0;
    /// For a link listed on the source side, what it leads to: a File, a Folder, or Special
    /// for nothing (a dangling link) or anything else. The other fields are the link's own.
    /// For a file, File when it is reached through a link, which its copy then follows.
    EntryKind linkTarget = EntryKind::Special;
};

/// One entry of a folder listing, valid while the listing lives. When 'error' is set the
/// entry's details could not be read (a dangling link, or no permission to look at its target)
/// and only the name is valid.
struct FolderEntry
{
    std::string_view name;
    EntryInfo info;
    const FsError* error = nullptr;
};

/// A folder's entries, held compactly: the names in one buffer and a fixed record of 24 bytes
/// per entry, so that a folder of a few hundred thousand entries stays a few MiB.
class FolderListing
{
public:
    class Iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = FolderEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = FolderEntry;

        Iterator() = default;
        Iterator(const FolderListing* listing, std::size_t index)
            : m_listing(listing)
            , m_index(index)
        { }
        FolderEntry operator*() const { return (*m_listing)[m_index]; }
        Iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_index == other.m_index; }

    private:
        const FolderListing* m_listing = nullptr;
        std::size_t m_index = 0;
    };

    /// Makes room for this many entries and name bytes, so that no growth overshoots.
    void reserve(std::size_t entries, std::size_t nameBytes);
    /// Appends an entry with its details.
    void add(std::string_view name, const EntryInfo& info);
    /// Replaces the details of an entry.
    void setInfo(std::size_t index, const EntryInfo& info);
    /// Marks an entry's details as unreadable, for the reason given.
    void setError(std::size_t index, FsError error);
    /// Orders the entries by name, byte by byte, as find() expects.
    void sortByName();

    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    FolderEntry operator[](std::size_t index) const;
    /// Returns the entry's name with a terminating NUL, for system calls.
    const char* nameData(std::size_t index) const;
    /// Returns the entry of exactly this name in a sorted listing, or none.
    std::optional<FolderEntry> find(std::string_view name) const;
    /// Returns the position of exactly this name in a sorted listing, or size().
    std::size_t indexOf(std::string_view name) const;

    Iterator begin() const { return { this, 0 }; }
    Iterator end() const { return { this, m_records.size() }; }

private:
    // NOTE: 24 bytes an entry: sizes of 4 GiB and more, and names longer than 254 bytes, are
    // rare enough to live beside the records.
    struct Record
    {
        std::uint32_t nameOffset = 0;
        std::uint32_t secondsLow = 0;
        std::int32_t secondsHigh = 0;
        // The nanoseconds in the low 30 bits and the kind in the top 2; for a failed entry,
        // the error's index in m_errors.
        std::uint32_t nanosecondsAndKind = 0;
        // The size, or for a large one its index in m_largeSizes.
        std::uint32_t size = 0;
        std::uint16_t permissions = 0;
        std::uint8_t flags = 0;
        // The name's length, or LongName where it is kept as a terminated string only.
        std::uint8_t nameLength = 0;
    };
    static_assert(sizeof(Record) == 24, "a listing record is meant to stay small");

    std::string_view nameOf(const Record& record) const;
    void store(Record& record, const EntryInfo& info);

    std::string m_names;
    std::vector<Record> m_records;
    std::vector<FsError> m_errors;
    std::vector<std::uint64_t> m_largeSizes;
};

} // namespace rinvo
