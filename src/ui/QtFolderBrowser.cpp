#include "QtFolderBrowser.h"

#include "FolderBrowseDialog.h"
#include "QtText.h"

namespace rinvo {

QtFolderBrowser::QtFolderBrowser(QWidget* owner)
    : m_owner(owner)
{ }

std::string QtFolderBrowser::BrowseForFolder(std::string_view prompt, std::string_view startPath)
{
    FolderBrowseDialog dialog(toQString(prompt), toQString(startPath), m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return toUtf8(dialog.selectedPath());
}

} // namespace rinvo
