#pragma once

#include "FolderBrowser.h"

#include <memory>

namespace rinvo {

/// A folder browser that hands each request to another one set later: the dialog's owner is
/// the main window, which is made after the services it is given.
class ForwardingFolderBrowser final : public FolderBrowser
{
public:
    /// Sets the browser that answers from now on.
    void setTarget(std::unique_ptr<FolderBrowser> target) { m_target = std::move(target); }

    /// Returns the target's answer, or empty text (a cancel) while no target is set.
    std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) override
    {
        return m_target ? m_target->BrowseForFolder(prompt, startPath) : std::string();
    }

private:
    std::unique_ptr<FolderBrowser> m_target;
};

} // namespace rinvo
