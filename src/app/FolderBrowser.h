#pragma once

#include <string>
#include <string_view>

namespace rinvo {

/// The folder-browse dialog the rule boxes open: modal to the main window, the prompt shown,
/// opened at the start path with that item selected when it exists, files listed beside
/// folders, hidden entries visible, only file-system paths accepted.
class FolderBrowser
{
public:
    virtual ~FolderBrowser() = default;

    /// Returns the chosen file or folder's full path, or empty text when the user cancels.
    virtual std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) = 0;
};

} // namespace rinvo
