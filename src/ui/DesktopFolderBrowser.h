#pragma once

#include "app/FolderBrowser.h"

#include <memory>

class QWidget;

namespace rinvo {

/// Returns the desktop's folder-browse dialog for the rule boxes, modal to the window: the
/// shell's own dialog on Windows, the program's Qt dialog elsewhere.
std::unique_ptr<FolderBrowser> createDesktopFolderBrowser(QWidget* owner);

} // namespace rinvo
