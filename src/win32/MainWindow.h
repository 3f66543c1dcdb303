#pragma once

#include "FormWindow.h"
#include "app/MainWindowFlow.h"
#include "app/RunProgress.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace rinvo::win32 {

/// The main window drawn with Win32: the table's controls, the flow's behaviour.
class MainWindow final : public FormWindow, private MainWindowView, private CopyRunObserver
{
public:
    /// Makes and shows the window and loads the rules; 'showHelp' opens the help window,
    /// 'closed' runs once the window is gone.
    MainWindow(
        MainWindowServices services, std::function<void()> showHelp, std::function<void()> closed);

    const MainWindowFlow& flow() const { return m_flow; }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void destroyed() override;
    void onCommand(HWND control, int code);
    void connectControls();
    static LRESULT CALLBACK ruleBoxProc(
        HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId, DWORD_PTR self);
    LRESULT ruleBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId);
    bool isInputForTheWindows(const MSG& message) const;
    void showLatestName();
    void showProgressCaption();

    // The view the flow drives.
    CopyRuleTable shownRules() override;
    void showRules(const CopyRuleTable& rules) override;
    CopyRunResult runCopy(
        const CopyRuleTable& rules, CopyOption option, const StopRequest& stop) override;
    void showHelp() override;
    void closeWindow() override;

    // What a run on the helper thread tells.
    void rowStarted(std::size_t) override;
    void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes) override;
    void rowFinished(std::size_t, const CopyReport&) override;

    MainWindowServices m_services;
    MainWindowFlow m_flow;
    std::function<void()> m_showHelp;
    std::function<void()> m_closed;
    std::array<HWND, forms::RuleRows> m_sources {};
    std::array<HWND, forms::RuleRows> m_destinations {};
    HWND m_attrStt = nullptr;
    HWND m_dspFileName = nullptr;
    DWORD m_uiThread = 0;
    bool m_copying = false;
    std::mutex m_nameMutex;
    std::wstring m_latestName;
    bool m_nameChanged = false;
    std::unique_ptr<RunProgress> m_progress;
    int m_ticks = 0;
};

} // namespace rinvo::win32
