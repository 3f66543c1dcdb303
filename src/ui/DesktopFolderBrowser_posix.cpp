#include "DesktopFolderBrowser.h"

#include "QtFolderBrowser.h"

namespace rinvo {

std::unique_ptr<FolderBrowser> createDesktopFolderBrowser(QWidget* owner)
{
    return std::make_unique<QtFolderBrowser>(owner);
}

} // namespace rinvo
