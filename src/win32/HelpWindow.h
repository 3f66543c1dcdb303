#pragma once

#include "FormWindow.h"

#include <functional>

namespace rinvo::win32 {

/// The help window: the usage text and a button that closes it. Modeless and owned by no other
/// window, so it stays when the main window closes.
class HelpWindow final : public FormWindow
{
public:
    /// Makes and shows the window; 'closed' runs once it is gone.
    explicit HelpWindow(std::function<void()> closed);

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void destroyed() override;

    std::function<void()> m_closed;
};

} // namespace rinvo::win32
