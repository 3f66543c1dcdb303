#include "HelpWindow.h"

namespace rinvo::win32 {

HelpWindow::HelpWindow(std::function<void()> closed)
    : m_closed(std::move(closed))
{
    create(forms::helpForm(), WS_OVERLAPPEDWINDOW, nullptr);
    ::ShowWindow(handle(), SW_SHOWNORMAL);
    ::SetFocus(control("OkBtn"));
}

LRESULT HelpWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED
        && reinterpret_cast<HWND>(lParam) == control("OkBtn")) {
        ::DestroyWindow(handle());
        return 0;
    }
    return FormWindow::handleMessage(message, wParam, lParam);
}

void HelpWindow::destroyed()
{
    if (m_closed)
        m_closed();
}

} // namespace rinvo::win32
