#pragma once

#include "CopyOption.h"
#include "CopyReport.h"

#include <functional>
#include <string_view>

namespace rinvo {

class FileSystem;

/// Receives the name (last component only) of each file copied or refused as read-only.
using CopyProgress = std::function<void(std::string_view fileName)>;

/// Copies the file or folder tree 'src' into the folder 'dst': a file only when the
/// destination lacks it or holds it with a strictly earlier time, skipping what the option
/// excludes, never removing anything. Failures are noted in the report, never thrown.
void CopyFolderTree(FileSystem& fs, std::string_view src, std::string_view dst, CopyOption option,
    CopyReport& report, const CopyProgress& progress = {});

} // namespace rinvo
