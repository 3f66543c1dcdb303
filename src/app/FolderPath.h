#pragma once

#include "platform/FsError.h"

#include <string_view>

namespace rinvo {

class FileSystem;

/// Creates the folder and every missing folder above it, as mkdir -p does; an existing folder
/// is success.
FsStatus createFolderPath(FileSystem& fs, std::string_view path);

} // namespace rinvo
