#pragma once

#include "FolderBrowser.h"

#include <cstdint>
#include <memory>

namespace rinvo {

/// Returns the Windows shell's own folder-browse dialog, modal to the window with the given
/// native handle: files listed beside folders, only file-system items accepted, the newer
/// resizable style. Only Windows builds have it.
std::unique_ptr<FolderBrowser> createShellFolderBrowser(std::uintptr_t ownerWindow);

} // namespace rinvo
