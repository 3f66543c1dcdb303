#include "FolderPath.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <string>
#include <vector>

namespace rinvo {

FsStatus createFolderPath(FileSystem& fs, std::string_view path, std::uint32_t permissions)
{
    const PathStyle style = fs.pathStyle();
    std::vector<std::string> missing;
    for (std::string folder = normalizedPath(path, style); !fs.folderExists(folder);) {
        missing.push_back(folder);
        const std::string parent = parentPath(folder, style);
        if (parent == folder || parent.empty() || parent == ".")
            break;
        folder = parent;
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        FsStatus failed = fs.createFolder(*folder, permissions);
        // A folder another process made meanwhile is as good.
        if (failed && !(failed->kind == FsErrorKind::AlreadyExists && fs.folderExists(*folder)))
            return failed;
    }
    return std::nullopt;
}

} // namespace rinvo
