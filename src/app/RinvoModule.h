#pragma once

#include "copy/CopyOption.h"

#include <string>

namespace rinvo {

/// The program's shared state between the windows and their flows.
struct RinvoModule
{
    /// The result of the last folder-browse call from a rule box.
    std::string SelectedFolder;
    /// The path the last folder-browse call opened at.
    std::string BrowseStartPath;
    /// The copy option in force: the item data of the copy-option box when it last lost focus.
    CopyOption copyOption = DefaultCopyOption;
    /// Lets the folder selection window make new folders; nothing sets it in this version.
    bool AllowNewFolder = false;
};

} // namespace rinvo
