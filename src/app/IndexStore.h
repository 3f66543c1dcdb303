#pragma once

#include "copy/DestinationIndex.h"

#include <string>
#include <string_view>

namespace rinvo {

class FileSystem;

/// Where the destination indexes of the rules are kept: one file per source and destination in
/// a folder of the user's cache, outside every backup.
class IndexStore
{
public:
    /// 'folder' empty: no index is kept and every run lists every folder.
    IndexStore(FileSystem& fs, std::string folder);

    bool keepsIndexes() const { return !m_folder.empty(); }
    /// Returns the rule's index, or an empty one where none can be read whole.
    DestinationIndex load(std::string_view source, std::string_view destination) const;
    /// Keeps the rule's index in place of the last one, whole or not at all, where a run started
    /// with it; a failure costs the next run only its speed.
    void save(
        std::string_view source, std::string_view destination, const DestinationIndex& index) const;

    /// An index no run has written for this long belongs to a rule that is gone.
    static constexpr std::int64_t UnusedSeconds = 90 * 24 * 60 * 60;

private:
    std::string pathOf(std::string_view source, std::string_view destination) const;
    void forgetUnused() const;

    FileSystem& m_fs;
    std::string m_folder;
};

} // namespace rinvo
