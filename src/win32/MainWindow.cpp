#include "MainWindow.h"

#include "Wide.h"
#include "texts/Catalogue.h"

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

namespace rinvo::win32 {

namespace {

// The message that runs the next task posted to the window.
constexpr UINT RunPostedTask = WM_APP + 1;

// The main window of this thread, for the hook that holds its input back during a run.
thread_local MainWindow* t_mainWindow = nullptr;

} // namespace

MainWindow::MainWindow(
    MainWindowServices services, std::function<void()> showHelp, std::function<void()> closed)
    : m_services(services)
    , m_showHelp(std::move(showHelp))
    , m_closed(std::move(closed))
    , m_flow(services, *this)
{
    create(forms::rinvoMainForm(), WS_OVERLAPPEDWINDOW, nullptr);
    connectControls();
    // NOTE: a hook rather than a filter in the message loop, so the input is held back in every
    // loop that runs on this thread, modal ones included.
    t_mainWindow = this;
    m_inputHook = ::SetWindowsHookExW(
        WH_GETMESSAGE, &MainWindow::holdBackInput, nullptr, ::GetCurrentThreadId());
    m_flow.Form_Load();
    ::ShowWindow(handle(), SW_SHOWNORMAL);
    // The start button comes first in the focus order and holds the focus at opening.
    ::SetFocus(control("GoCopy"));
}

MainWindow::~MainWindow()
{
    if (m_inputHook)
        ::UnhookWindowsHookEx(m_inputHook);
    if (t_mainWindow == this)
        t_mainWindow = nullptr;
    if (m_taskbar)
        m_taskbar->Release();
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

void MainWindow::browseFrom(HWND box, RuleSide side, int index)
{
    m_flow.Folder_Click(side, index);
    // A modal dialog gives the focus back to the window, not to the control that opened it.
    ::SetFocus(box);
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
        ::SetCursor(::LoadCursorW(nullptr, m_busyPointer ? IDC_WAIT : IDC_HAND));
        return TRUE;
    case WM_LBUTTONDOWN:
        ::DefSubclassProc(box, message, wParam, lParam);
        m_flow.Folder_MouseDown(side, index, MouseButton::Left);
        return 0;
    case WM_LBUTTONUP:
        ::DefSubclassProc(box, message, wParam, lParam);
        browseFrom(box, side, index);
        return 0;
    case WM_RBUTTONDOWN:
        m_flow.Folder_MouseDown(side, index, MouseButton::Right);
        return 0;
    case WM_CONTEXTMENU:
        // A right click on a rule box belongs to the clear question, not to an edit menu; the
        // menu key asks it too.
        if (lParam == -1)
            m_flow.Folder_MouseDown(side, index, MouseButton::Right);
        return 0;
    case WM_GETDLGCODE: {
        // Tab moves on as between other controls; Enter and Space reach the box, to open its
        // folder dialog, rather than the window's default button.
        LRESULT code = ::DefSubclassProc(box, message, wParam, lParam)
            & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN
            && (pending->wParam == VK_RETURN || pending->wParam == VK_SPACE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            browseFrom(box, side, index);
            return 0;
        }
        if (wParam == VK_DELETE) {
            m_flow.Folder_MouseDown(side, index, MouseButton::Right);
            return 0;
        }
        return ::DefSubclassProc(box, message, wParam, lParam);
    case WM_CHAR:
        // The keys above leave no character to a box that takes none.
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
    if (code != BN_CLICKED)
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
        if (m_busyPointer) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case RunPostedTask:
        runPostedTask();
        return 0;
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

LRESULT CALLBACK MainWindow::holdBackInput(int code, WPARAM wParam, LPARAM lParam)
{
    // During a run the window takes no input but its close request; a message held back is
    // turned into one that does nothing.
    auto* message = reinterpret_cast<MSG*>(lParam);
    MainWindow* window = t_mainWindow;
    if (code == HC_ACTION && wParam == PM_REMOVE && window && window->m_flow.running()
        && window->isInputForTheWindow(*message))
        message->message = WM_NULL;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool MainWindow::isInputForTheWindow(const MSG& message) const
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

void MainWindow::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_tasksMutex);
        m_tasks.push_back(std::move(task));
    }
    // A window that has gone takes no message: its task is never run.
    ::PostMessageW(handle(), RunPostedTask, 0, 0);
}

void MainWindow::runPostedTask()
{
    // Every task waiting is run, so one message lost does not hold a task back; a task that
    // opens a modal box lets the others run from its loop, still in order.
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(m_tasksMutex);
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void MainWindow::setPointer(Pointer pointer)
{
    m_busyPointer = pointer == Pointer::Busy;
    ::SetCursor(::LoadCursorW(nullptr, m_busyPointer ? IDC_WAIT : IDC_ARROW));
    // The taskbar button shows the run as busy with the pointer, where the shell offers it.
    if (!m_taskbar) {
        ITaskbarList3* taskbar = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar))))
            return;
        if (FAILED(taskbar->HrInit())) {
            taskbar->Release();
            return;
        }
        m_taskbar = taskbar;
    }
    m_taskbar->SetProgressState(handle(), m_busyPointer ? TBPF_INDETERMINATE : TBPF_NOPROGRESS);
}

void MainWindow::setTitle(std::string_view title)
{
    ::SetWindowTextW(handle(), widen(title).c_str());
}

void MainWindow::showCurrentFile(std::string_view name)
{
    ::SetWindowTextW(m_dspFileName, widen(name).c_str());
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
