#pragma once

#include "FormWindow.h"
#include "app/MainWindowFlow.h"

#include <array>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

struct ITaskbarList3;

namespace rinvo::win32 {

/// The main window drawn with Win32: the table's controls, the flow's behaviour.
class MainWindow final : public FormWindow, private MainWindowView
{
public:
    /// Makes and shows the window and loads the rules; 'showHelp' opens the help window,
    /// 'closed' runs once the window is gone.
    MainWindow(
        MainWindowServices services, std::function<void()> showHelp, std::function<void()> closed);
    ~MainWindow() override;

    const MainWindowFlow& flow() const { return m_flow; }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void destroyed() override;
    void onCommand(HWND control, int code);
    void connectControls();
    static LRESULT CALLBACK ruleBoxProc(
        HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId, DWORD_PTR self);
    LRESULT ruleBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId);
    /// Opens the folder dialog for a rule box and gives the box the focus back.
    void browseFrom(HWND box, RuleSide side, int index);
    static LRESULT CALLBACK holdBackInput(int code, WPARAM wParam, LPARAM lParam);
    bool isInputForTheWindow(const MSG& message) const;
    void runPostedTask();

    // The view the flow drives.
    CopyRuleTable shownRules() override;
    void showRules(const CopyRuleTable& rules) override;
    void showHelp() override;
    void closeWindow() override;
    void post(std::function<void()> task) override;
    void setPointer(Pointer pointer) override;
    void setTitle(std::string_view title) override;
    void showCurrentFile(std::string_view name) override;

    MainWindowServices m_services;
    std::function<void()> m_showHelp;
    std::function<void()> m_closed;
    std::array<HWND, forms::RuleRows> m_sources {};
    std::array<HWND, forms::RuleRows> m_destinations {};
    HWND m_attrStt = nullptr;
    HWND m_dspFileName = nullptr;
    bool m_busyPointer = false;
    ITaskbarList3* m_taskbar = nullptr;
    HHOOK m_inputHook = nullptr;
    std::mutex m_tasksMutex;
    std::deque<std::function<void()>> m_tasks;
    // Last, so a run under way has ended before the window's other members go.
    MainWindowFlow m_flow;
};

} // namespace rinvo::win32
