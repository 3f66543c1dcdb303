#include "MainWindow.h"

#include "Wide.h"
#include "app/MessageBoxService.h"
#include "texts/Catalogue.h"

#include <thread>

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

namespace rinvo::win32 {

namespace {

// Messages the window sends itself while a run goes on.
constexpr UINT ShowMessageRequest = WM_APP + 1;
constexpr UINT RunEnded = WM_APP + 2;
constexpr UINT ShowNameRequest = WM_APP + 3;
constexpr UINT_PTR NameTimer = 1;

struct MessageRequest
{
    std::string_view text;
    MessageButtons buttons;
    MessageAnswer answer = MessageAnswer::No;
};

// Hands the messages of a run on the helper thread to the window's thread, waiting for the
// answer.
class UiThreadMessageBox final : public MessageBoxService
{
public:
    UiThreadMessageBox(MessageBoxService& target, HWND window, DWORD uiThread)
        : m_target(target)
        , m_window(window)
        , m_uiThread(uiThread)
    { }

    MessageAnswer show(std::string_view text, MessageButtons buttons) override
    {
        if (::GetCurrentThreadId() == m_uiThread)
            return m_target.show(text, buttons);
        MessageRequest request { text, buttons };
        ::SendMessageW(m_window, ShowMessageRequest, 0, reinterpret_cast<LPARAM>(&request));
        return request.answer;
    }

private:
    MessageBoxService& m_target;
    HWND m_window;
    DWORD m_uiThread;
};

} // namespace

MainWindow::MainWindow(
    MainWindowServices services, std::function<void()> showHelp, std::function<void()> closed)
    : m_services(services)
    , m_flow(services, *this)
    , m_showHelp(std::move(showHelp))
    , m_closed(std::move(closed))
    , m_uiThread(::GetCurrentThreadId())
{
    create(forms::rinvoMainForm(), WS_OVERLAPPEDWINDOW, nullptr);
    connectControls();
    m_flow.Form_Load();
    ::ShowWindow(handle(), SW_SHOWNORMAL);
    // The start button comes first in the focus order and holds the focus at opening.
    ::SetFocus(control("GoCopy"));
}

void MainWindow::connectControls()
{
    m_attrStt = control("AttrStt");
    for (const forms::CopyOptionEntry& entry : forms::copyOptionEntries()) {
        const auto index = ::SendMessageW(
            m_attrStt, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry.text).c_str()));
        ::SendMessageW(m_attrStt, CB_SETITEMDATA, static_cast<WPARAM>(index),
            static_cast<LPARAM>(entry.value));
        if (entry.value == DefaultCopyOption)
            ::SendMessageW(m_attrStt, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    m_dspFileName = control("DspFileName");
    for (int i = 0; i < forms::RuleRows; ++i) {
        m_sources[static_cast<std::size_t>(i)] = control(forms::memberName("SFolder", i));
        m_destinations[static_cast<std::size_t>(i)] = control(forms::memberName("DFolder", i));
        // The subclass id carries the box's row and side: twice the row, plus one for a
        // destination box.
        const auto self = reinterpret_cast<DWORD_PTR>(this);
        ::SetWindowSubclass(m_sources[static_cast<std::size_t>(i)], &MainWindow::ruleBoxProc,
            static_cast<UINT_PTR>(2 * i), self);
        ::SetWindowSubclass(m_destinations[static_cast<std::size_t>(i)], &MainWindow::ruleBoxProc,
            static_cast<UINT_PTR>(2 * i + 1), self);
    }
}

LRESULT CALLBACK MainWindow::ruleBoxProc(
    HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId, DWORD_PTR self)
{
    return reinterpret_cast<MainWindow*>(self)->ruleBoxMessage(box, message, wParam, lParam, boxId);
}

LRESULT MainWindow::ruleBoxMessage(
    HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR boxId)
{
    const int index = static_cast<int>(boxId / 2);
    const RuleSide side = boxId % 2 == 0 ? RuleSide::Source : RuleSide::Destination;
    switch (message) {
    case WM_SETCURSOR:
        // A pointing hand over the rule boxes, as over a link.
        ::SetCursor(::LoadCursorW(nullptr, m_copying ? IDC_WAIT : IDC_HAND));
        return TRUE;
    case WM_LBUTTONDOWN:
        ::DefSubclassProc(box, message, wParam, lParam);
        m_flow.Folder_MouseDown(side, index, MouseButton::Left);
        return 0;
    case WM_LBUTTONUP:
        ::DefSubclassProc(box, message, wParam, lParam);
        m_flow.Folder_Click(side, index);
        return 0;
    case WM_RBUTTONDOWN:
        m_flow.Folder_MouseDown(side, index, MouseButton::Right);
        return 0;
    case WM_CONTEXTMENU:
        // A right click on a rule box belongs to the clear question, not to an edit menu.
        return 0;
    default:
        return ::DefSubclassProc(box, message, wParam, lParam);
    }
}

void MainWindow::onCommand(HWND source, int code)
{
    const std::string name = nameOf(source);
    if (source == m_attrStt && code == CBN_KILLFOCUS) {
        m_flow.AttrStt_LostFocus(windowText(m_attrStt));
        return;
    }
    if (code != BN_CLICKED || m_copying)
        return;
    if (name == "GoCopy")
        m_flow.GoCopy_Click();
    else if (name == "Hozon")
        m_flow.Hozon_Click();
    else if (name == "Yobikomi")
        m_flow.Yobikomi_Click();
    else if (name == "Owari")
        m_flow.Owari_Click();
    else if (name == "Setumei")
        m_flow.Setumei_Click();
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The close box closes at once, but not during a run, whose end closes the window.
        if (m_flow.closeRequested() == WindowAfter::Closes)
            ::DestroyWindow(handle());
        return 0;
    case WM_SETCURSOR:
        if (m_copying) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (wParam == NameTimer) {
            showLatestName();
            // The caption tells the progress a few times a second.
            if (++m_ticks % 15 == 0)
                showProgressCaption();
            return 0;
        }
        break;
    case ShowNameRequest:
        showLatestName();
        showProgressCaption();
        return 0;
    case ShowMessageRequest: {
        auto* request = reinterpret_cast<MessageRequest*>(lParam);
        request->answer = m_services.messages.show(request->text, request->buttons);
        return 0;
    }
    default:
        break;
    }
    return FormWindow::handleMessage(message, wParam, lParam);
}

void MainWindow::destroyed()
{
    if (m_closed)
        m_closed();
}

CopyRuleTable MainWindow::shownRules()
{
    CopyRuleTable rules;
    for (std::size_t i = 0; i < MaxRules; ++i)
        rules[i] = { windowText(m_sources[i]), windowText(m_destinations[i]) };
    return rules;
}

void MainWindow::showRules(const CopyRuleTable& rules)
{
    for (std::size_t i = 0; i < MaxRules; ++i) {
        ::SetWindowTextW(m_sources[i], widen(rules[i].source).c_str());
        ::SetWindowTextW(m_destinations[i], widen(rules[i].destination).c_str());
    }
}

bool MainWindow::isInputForTheWindows(const MSG& message) const
{
    // System keys (Alt+F4) still reach the window: they ask whether to stop the run.
    const bool systemKey = message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP
        || message.message == WM_SYSCHAR;
    const bool input
        = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && !systemKey)
        || (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    // Input for the run's own message boxes still goes through; those are windows of their own.
    return input && message.hwnd && ::GetAncestor(message.hwnd, GA_ROOT) == handle();
}

CopyRunResult MainWindow::runCopy(
    const CopyRuleTable& rules, CopyOption option, const StopRequest& stop)
{
    m_copying = true;
    m_progress = std::make_unique<RunProgress>(filledRows(rules));
    m_ticks = 0;
    showProgressCaption();
    // The taskbar button shows the run as busy, where the shell offers it.
    ITaskbarList3* taskbar = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
            IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar)))
        && SUCCEEDED(taskbar->HrInit()))
        taskbar->SetProgressState(handle(), TBPF_INDETERMINATE);
    UiThreadMessageBox messages(m_services.messages, handle(), m_uiThread);
    CopyRun run(m_services.fs, messages, *this);
    CopyRunResult result;
    ::SetTimer(handle(), NameTimer, 16, nullptr);
    std::thread worker([&] {
        result = run.run(rules, option, &stop);
        ::PostMessageW(handle(), RunEnded, 0, 0);
    });
    // Paint, timer and the run's own messages only: no input reaches the window meanwhile.
    MSG message;
    bool quit = false;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got < 0)
            break;
        if (got == 0) {
            // A request to end the program waits for the run's end, like the close box.
            quit = true;
            continue;
        }
        if (message.message == RunEnded && message.hwnd == handle())
            break;
        if (isInputForTheWindows(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    worker.join();
    ::KillTimer(handle(), NameTimer);
    showLatestName();
    ::SetWindowTextW(handle(), widen(texts::MainCaption).c_str());
    if (taskbar) {
        taskbar->SetProgressState(handle(), TBPF_NOPROGRESS);
        taskbar->Release();
    }
    m_copying = false;
    if (quit)
        ::PostQuitMessage(0);
    return result;
}

void MainWindow::rowStarted(std::size_t)
{
    m_progress->rowStarted();
}

void MainWindow::showProgressCaption()
{
    if (m_progress)
        ::SetWindowTextW(handle(), widen(m_progress->caption()).c_str());
}

void MainWindow::fileCopied(std::string_view, std::string_view fileName, std::uint64_t bytes)
{
    m_progress->fileCopied(bytes);
    std::lock_guard lock(m_nameMutex);
    m_latestName = widen(fileName);
    m_nameChanged = true;
}

void MainWindow::rowFinished(std::size_t, const CopyReport&)
{
    // The row's last copied name stands in the box when the row ends, before any message.
    ::SendMessageW(handle(), ShowNameRequest, 0, 0);
}

void MainWindow::showLatestName()
{
    std::wstring name;
    {
        std::lock_guard lock(m_nameMutex);
        if (!m_nameChanged)
            return;
        name = m_latestName;
        m_nameChanged = false;
    }
    ::SetWindowTextW(m_dspFileName, name.c_str());
    ::UpdateWindow(m_dspFileName);
}

void MainWindow::showHelp()
{
    if (m_showHelp)
        m_showHelp();
}

void MainWindow::closeWindow()
{
    ::DestroyWindow(handle());
}

} // namespace rinvo::win32
