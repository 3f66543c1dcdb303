#pragma once

#include "app/InputBoxService.h"

#include <windows.h>

namespace rinvo::win32 {

/// The program's own input box: the prompt, a line to type in, OK and Cancel; modal to its
/// owner and titled with the program's title.
class Win32InputBox final : public InputBoxService
{
public:
    std::string ask(std::string_view prompt) override;

    void setOwner(HWND owner) { m_owner = owner; }

private:
    HWND m_owner = nullptr;
};

} // namespace rinvo::win32
