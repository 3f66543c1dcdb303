#include "FolderSelection.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace rinvo {

std::string childNodeKey(std::string_view parentKey, int counter)
{
    char number[16];
    std::snprintf(number, sizeof number, "%03d", counter);
    // The root's children take the bare prefix "n".
    std::string key = parentKey == RootNodeKey ? std::string() : std::string(parentKey);
    return key + "n" + number;
}

bool isListedFolder(std::uint32_t attributes, CopyOption option)
{
    if (!(attributes & DirectoryAttribute))
        return false;
    switch (option) {
    case CopyOption::SkipHiddenAndSystem:
        return !(attributes & (HiddenAttribute | SystemAttribute));
    case CopyOption::SkipSystem:
        return !(attributes & SystemAttribute);
    case CopyOption::CopyEverything:
        return true;
    }
    return false;
}

FileListSettings fileListSettingsFor(CopyOption option, FileListSettings current)
{
    switch (option) {
    case CopyOption::SkipHiddenAndSystem:
        return { false, false };
    case CopyOption::SkipSystem:
        return { true, false };
    case CopyOption::CopyEverything:
        return { true, true };
    }
    return current;
}

bool clashesWithExisting(const std::vector<std::string>& existingPaths, std::string_view newPath)
{
    auto upper = [](std::string_view text) {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(),
            [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return result;
    };
    const std::string wanted = upper(newPath);
    return std::any_of(existingPaths.begin(), existingPaths.end(),
        [&](const std::string& path) { return upper(path) == wanted; });
}

} // namespace rinvo
