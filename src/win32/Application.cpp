#include "Application.h"

namespace rinvo::win32 {

Application::Application(MainWindowServices services)
{
    ++m_openWindows;
    m_main = std::make_unique<MainWindow>(
        services, [this] { showHelp(); }, [this] { windowClosed(); });
}

void Application::showHelp()
{
    // One help window at most: a second click brings the open one to the front.
    if (m_helpOpen) {
        ::ShowWindow(m_help->handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(m_help->handle());
        return;
    }
    ++m_openWindows;
    m_helpOpen = true;
    m_help = std::make_unique<HelpWindow>([this] {
        m_helpOpen = false;
        windowClosed();
    });
}

void Application::windowClosed()
{
    if (--m_openWindows == 0)
        ::PostQuitMessage(0);
}

int Application::run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and Shift+Tab move between the controls, as in a dialog.
        HWND window = ::GetAncestor(message.hwnd, GA_ROOT);
        if (window && (window == m_main->handle() || (m_helpOpen && window == m_help->handle()))
            && ::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace rinvo::win32
