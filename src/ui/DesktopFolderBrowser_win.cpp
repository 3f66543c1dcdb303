#include "DesktopFolderBrowser.h"

#include "platform/ShellFolderBrowser.h"

#include <QWidget>

namespace rinvo {

std::unique_ptr<FolderBrowser> createDesktopFolderBrowser(QWidget* owner)
{
    return createShellFolderBrowser(owner ? static_cast<std::uintptr_t>(owner->winId()) : 0);
}

} // namespace rinvo
