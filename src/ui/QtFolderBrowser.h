#pragma once

#include "app/FolderBrowser.h"

class QWidget;

namespace rinvo {

/// The folder-browse dialog of the desktop, modal to its owner window.
class QtFolderBrowser final : public FolderBrowser
{
public:
    explicit QtFolderBrowser(QWidget* owner = nullptr);

    std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) override;

private:
    QWidget* m_owner;
};

} // namespace rinvo
