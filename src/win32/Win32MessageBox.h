#pragma once

#include "app/MessageBoxService.h"

#include <windows.h>

namespace rinvo::win32 {

/// The system's message box: the program's title, no icon, OK or Yes and No with the default
/// button each message calls for; the system draws the buttons in its own language.
class Win32MessageBox final : public MessageBoxService
{
public:
    MessageAnswer show(std::string_view text, MessageButtons buttons) override;

    /// The window the boxes are modal to.
    void setOwner(HWND owner) { m_owner = owner; }

private:
    HWND m_owner = nullptr;
};

} // namespace rinvo::win32
