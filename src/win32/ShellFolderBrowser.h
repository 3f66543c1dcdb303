#pragma once

#include "app/FolderBrowser.h"

#include <memory>

#include <windows.h>

namespace rinvo::win32 {

/// Returns the Windows shell's own folder-browse dialog, modal to the owner window: files listed
/// beside folders, only file-system items accepted, the newer resizable style.
std::unique_ptr<FolderBrowser> createShellFolderBrowser(HWND owner);

} // namespace rinvo::win32
