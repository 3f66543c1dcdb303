#include "Win32InputBox.h"

#include "FormWindow.h"
#include "Wide.h"

namespace rinvo::win32 {

namespace {

// The box drawn from its table, at the system's DPI like every window of the program.
class InputBoxWindow final : public FormWindow
{
public:
    InputBoxWindow(std::string_view prompt, HWND owner)
    {
        create(forms::inputBoxForm(), WS_POPUP | WS_CAPTION | WS_SYSMENU, owner);
        ::SetWindowTextW(control("Prompt"), widen(prompt).c_str());
        ::SendMessageW(control("OkBtn"), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }

    bool done() const { return m_done; }
    const std::wstring& answer() const { return m_answer; }

    // Enter answers OK and Escape cancels, as in a dialog.
    void takeKey(WPARAM key)
    {
        if (key == VK_RETURN)
            finish(true);
        else if (key == VK_ESCAPE)
            finish(false);
    }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            const std::string name = nameOf(reinterpret_cast<HWND>(lParam));
            if (name == "OkBtn" || name == "CancelBtn")
                finish(name == "OkBtn");
            return 0;
        }
        if (message == WM_CLOSE) {
            finish(false);
            return 0;
        }
        return FormWindow::handleMessage(message, wParam, lParam);
    }

    void finish(bool accepted)
    {
        if (accepted) {
            HWND line = control("Answer");
            std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(line)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                ::GetWindowTextW(line, text.data(), static_cast<int>(text.size()))));
            m_answer = text;
        }
        m_done = true;
    }

    bool m_done = false;
    std::wstring m_answer;
};

} // namespace

std::string Win32InputBox::ask(std::string_view prompt)
{
    InputBoxWindow box(prompt, m_owner);
    // Modal to its owner: the owner takes no input until the box is answered.
    if (m_owner)
        ::EnableWindow(m_owner, FALSE);
    ::ShowWindow(box.handle(), SW_SHOWNORMAL);
    ::SetFocus(box.control("Answer"));
    MSG message;
    while (!box.done() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN
            && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
            box.takeKey(message.wParam);
            continue;
        }
        if (!::IsDialogMessageW(box.handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (m_owner) {
        ::EnableWindow(m_owner, TRUE);
        ::SetActiveWindow(m_owner);
    }
    return narrow(box.answer());
}

} // namespace rinvo::win32
