#include "FolderListing.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>

namespace rinvo {

namespace {

// The bits of a record's flags: the attributes the program tests, packed into one byte, and
// two marks of the record itself.
enum Flag : std::uint8_t {
    ReadOnlyFlag = 1,
    HiddenFlag = 2,
    SystemFlag = 4,
    DirectoryFlag = 8,
    SparseFlag = 16,
    LargeSizeFlag = 32,
    FailedFlag = 64,
    // A link that leads to a file, or a file reached through one; a link to a folder carries
    // the directory flag.
    LinkToFileFlag = 128,
};

constexpr std::uint8_t LongName = 255;
constexpr std::uint32_t NanosecondBits = 30;
constexpr std::uint32_t NanosecondMask = (1u << NanosecondBits) - 1;

constexpr std::pair<std::uint32_t, Flag> AttributeFlags[] = {
    { ReadOnlyAttribute, ReadOnlyFlag },
    { HiddenAttribute, HiddenFlag },
    { SystemAttribute, SystemFlag },
    { DirectoryAttribute, DirectoryFlag },
    { SparseAttribute, SparseFlag },
};

} // namespace

void FolderListing::reserve(std::size_t entries, std::size_t nameBytes)
{
    m_records.reserve(entries);
    m_names.reserve(nameBytes);
}

void FolderListing::store(Record& record, const EntryInfo& info)
{
    assert(info.permissions <= 0xFFFF && "permission bits fit 16 bits");
    record.flags = 0;
    for (const auto& [attribute, flag] : AttributeFlags) {
        if (info.attributes & attribute)
            record.flags |= flag;
    }
    const auto seconds = static_cast<std::uint64_t>(info.modified.seconds);
    record.secondsLow = static_cast<std::uint32_t>(seconds);
    record.secondsHigh = static_cast<std::int32_t>(info.modified.seconds >> 32);
    record.nanosecondsAndKind
        = (static_cast<std::uint32_t>(info.modified.nanoseconds) & NanosecondMask)
        | (static_cast<std::uint32_t>(info.kind) << NanosecondBits);
    if (info.size < std::numeric_limits<std::uint32_t>::max()) {
        record.size = static_cast<std::uint32_t>(info.size);
    } else {
        record.flags |= LargeSizeFlag;
        record.size = static_cast<std::uint32_t>(m_largeSizes.size());
        m_largeSizes.push_back(info.size);
    }
    record.permissions = static_cast<std::uint16_t>(info.permissions);
    if (info.kind == EntryKind::Link && info.linkTarget == EntryKind::Folder)
        record.flags |= DirectoryFlag;
    if ((info.kind == EntryKind::Link || info.kind == EntryKind::File)
        && info.linkTarget == EntryKind::File)
        record.flags |= LinkToFileFlag;
}

void FolderListing::add(std::string_view name, const EntryInfo& info)
{
    Record record;
    record.nameOffset = static_cast<std::uint32_t>(m_names.size());
    record.nameLength = name.size() < LongName ? static_cast<std::uint8_t>(name.size()) : LongName;
    m_names.append(name);
    // Each name keeps a terminating NUL, so system calls can take it as it stands.
    m_names.push_back('\0');
    store(record, info);
    m_records.push_back(record);
}

void FolderListing::setInfo(std::size_t index, const EntryInfo& info)
{
    store(m_records[index], info);
}

void FolderListing::setError(std::size_t index, FsError error)
{
    Record& record = m_records[index];
    record.flags |= FailedFlag;
    record.nanosecondsAndKind = static_cast<std::uint32_t>(m_errors.size());
    m_errors.push_back(std::move(error));
}

std::string_view FolderListing::nameOf(const Record& record) const
{
    const char* name = m_names.data() + record.nameOffset;
    return { name, record.nameLength == LongName ? std::strlen(name) : record.nameLength };
}

void FolderListing::sortByName()
{
    std::sort(m_records.begin(), m_records.end(),
        [this](const Record& a, const Record& b) { return nameOf(a) < nameOf(b); });
}

FolderEntry FolderListing::operator[](std::size_t index) const
{
    const Record& record = m_records[index];
    FolderEntry entry;
    entry.name = nameOf(record);
    if (record.flags & FailedFlag) {
        entry.error = &m_errors[record.nanosecondsAndKind];
        return entry;
    }
    EntryInfo& info = entry.info;
    info.kind = static_cast<EntryKind>(record.nanosecondsAndKind >> NanosecondBits);
    for (const auto& [attribute, flag] : AttributeFlags) {
        if (record.flags & flag)
            info.attributes |= attribute;
    }
    info.permissions = record.permissions;
    info.modified
        = { static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(record.secondsHigh) << 32) | record.secondsLow),
              static_cast<std::int32_t>(record.nanosecondsAndKind & NanosecondMask) };
    info.size = (record.flags & LargeSizeFlag) ? m_largeSizes[record.size] : record.size;
    if (info.kind == EntryKind::Link) {
        info.linkTarget = (record.flags & LinkToFileFlag) ? EntryKind::File
            : (record.flags & DirectoryFlag)              ? EntryKind::Folder
                                                          : EntryKind::Special;
        // A link's own attributes never say directory; its target's kind is kept apart.
        info.attributes &= ~DirectoryAttribute;
    } else if (info.kind == EntryKind::File && (record.flags & LinkToFileFlag)) {
        info.linkTarget = EntryKind::File;
    }
    return entry;
}

const char* FolderListing::nameData(std::size_t index) const
{
    return m_names.data() + m_records[index].nameOffset;
}

std::size_t FolderListing::indexOf(std::string_view name) const
{
    auto found = std::lower_bound(m_records.begin(), m_records.end(), name,
        [this](const Record& record, std::string_view key) { return nameOf(record) < key; });
    if (found == m_records.end() || nameOf(*found) != name)
        return m_records.size();
    return static_cast<std::size_t>(found - m_records.begin());
}

std::optional<FolderEntry> FolderListing::find(std::string_view name) const
{
    const std::size_t index = indexOf(name);
    if (index == m_records.size())
        return std::nullopt;
    return (*this)[index];
}

} // namespace rinvo
