#pragma once

#include "HelpWindow.h"
#include "MainWindow.h"

#include <memory>

namespace rinvo::win32 {

/// The program's windows: the main window, and the help window once asked for. The program
/// ends when its last window has closed.
class Application
{
public:
    explicit Application(MainWindowServices services);

    MainWindow& mainWindow() { return *m_main; }
    /// The help window while it is open, or null.
    HelpWindow* helpWindow() const { return m_helpOpen ? m_help.get() : nullptr; }
    /// Runs the message loop until the last window has closed; returns the exit code.
    int run();

private:
    void showHelp();
    void windowClosed();

    std::unique_ptr<MainWindow> m_main;
    // NOTE: a closed window's object is kept until the next one replaces it or the program
    // ends, since its closing runs inside its own message handling.
    std::unique_ptr<HelpWindow> m_help;
    bool m_helpOpen = false;
    int m_openWindows = 0;
};

} // namespace rinvo::win32
