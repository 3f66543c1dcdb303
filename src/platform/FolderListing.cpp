#include "FolderListing.h"

#include <algorithm>
#include <cassert>

namespace rinvo {

void FolderListing::reserve(std::size_t entries, std::size_t nameBytes)
{
    m_records.reserve(entries);
    m_names.reserve(nameBytes);
}

void FolderListing::store(Record& record, const EntryInfo& info)
{
    assert(info.attributes <= 0xFFFF && info.permissions <= 0xFFFF && "attributes fit 16 bits");
    record.kind = info.kind;
    record.attributes = static_cast<std::uint16_t>(info.attributes);
    record.permissions = static_cast<std::uint16_t>(info.permissions);
    record.seconds = info.modified.seconds;
    record.nanosecondsOrError = static_cast<std::uint32_t>(info.modified.nanoseconds);
    record.size = info.size;
    record.failed = 0;
}

void FolderListing::add(std::string_view name, const EntryInfo& info)
{
    assert(name.size() <= 0xFFFF && "names are at most a few hundred bytes");
    Record record;
    record.nameOffset = static_cast<std::uint32_t>(m_names.size());
    record.nameLength = static_cast<std::uint16_t>(name.size());
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
    record.failed = 1;
    record.nanosecondsOrError = static_cast<std::uint32_t>(m_errors.size());
    m_errors.push_back(std::move(error));
}

std::string_view FolderListing::nameOf(const Record& record) const
{
    return { m_names.data() + record.nameOffset, record.nameLength };
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
    if (record.failed) {
        entry.error = &m_errors[record.nanosecondsOrError];
        return entry;
    }
    entry.info.kind = record.kind;
    entry.info.attributes = record.attributes;
    entry.info.permissions = record.permissions;
    entry.info.modified = { record.seconds, static_cast<std::int32_t>(record.nanosecondsOrError) };
    entry.info.size = record.size;
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
