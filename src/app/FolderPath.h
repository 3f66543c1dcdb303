#pragma once

#include "platform/FileSystem.h"

#include <string_view>

namespace rinvo {

class FileSystem;

/// Creates the folder and every missing folder above it, as mkdir -p does, each with these
/// permission bits; an existing folder is success.
FsStatus createFolderPath(
    FileSystem& fs, std::string_view path, std::uint32_t permissions = DefaultFolderPermissions);

} // namespace rinvo
