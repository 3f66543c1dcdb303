#pragma once

#include "copy/CopyOption.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// The key of the folder selection tree's root node.
inline constexpr std::string_view RootNodeKey = "root";

/// Returns the key of a node's child: the node's own key, "n", and the counter with at least
/// three digits. NOTE: built from the parent's key rather than its text, so two open folders of
/// the same name never share child keys.
std::string childNodeKey(std::string_view parentKey, int counter);

/// Tells whether the folder selection lists a folder with these attributes under the option:
/// 1 neither hidden nor system, 2 not system, 3 any; any other value lists none.
bool isListedFolder(std::uint32_t attributes, CopyOption option);

/// Tells whether the file list shows hidden and system files under the option; nothing
/// changes for a value other than 1 to 3.
struct FileListSettings
{
    bool showHidden = true;
    bool showSystem = false;
};
FileListSettings fileListSettingsFor(CopyOption option, FileListSettings current);

/// Tells whether a new folder's path clashes with one of the existing subfolders' paths,
/// letters compared without case.
bool clashesWithExisting(const std::vector<std::string>& existingPaths, std::string_view newPath);

} // namespace rinvo
