#include "Win32InputBox.h"

#include "Wide.h"
#include "texts/Catalogue.h"

namespace rinvo::win32 {

namespace {

constexpr wchar_t InputBoxClass[] = L"RinvoInputBox";

// What the box's window procedure shares with the loop that waits for it.
struct InputState
{
    HWND edit = nullptr;
    bool done = false;
    std::wstring answer;
};

LRESULT CALLBACK inputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            std::wstring text(
                static_cast<std::size_t>(::GetWindowTextLengthW(state->edit)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                ::GetWindowTextW(state->edit, text.data(), static_cast<int>(text.size()))));
            state->answer = text;
        }
        state->done = true;
        return 0;
    }
    if (state && message == WM_CLOSE) {
        state->done = true;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

std::string Win32InputBox::ask(std::string_view prompt)
{
    registerWindowClass(InputBoxClass, inputBoxProc);

    InputState state;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame { 0, 0, 360, 130 };
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    HWND box
        = ::CreateWindowExW(WS_EX_DLGMODALFRAME, InputBoxClass, widen(texts::MessageTitle).c_str(),
            style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
            m_owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    auto child = [&](const wchar_t* className, const std::wstring& text, DWORD childStyle, int x,
                     int y, int width, int height, int id) {
        HWND made
            = ::CreateWindowExW(className == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0,
                className, text.c_str(), WS_CHILD | WS_VISIBLE | childStyle, x, y, width, height,
                box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                nullptr);
        ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return made;
    };
    child(L"STATIC", widen(prompt), SS_LEFT | SS_NOPREFIX, 10, 10, 250, 60, -1);
    child(L"BUTTON", widen(texts::OkCommand), BS_DEFPUSHBUTTON | WS_TABSTOP, 270, 10, 80, 26, IDOK);
    child(L"BUTTON", widen(texts::CancelCommand), BS_PUSHBUTTON | WS_TABSTOP, 270, 42, 80, 26,
        IDCANCEL);
    state.edit = child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, 10, 95, 340, 24, 100);
    ::SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));

    // Modal to its owner: the owner takes no input until the box is answered.
    if (m_owner)
        ::EnableWindow(m_owner, FALSE);
    ::ShowWindow(box, SW_SHOWNORMAL);
    ::SetFocus(state.edit);
    MSG message;
    while (!state.done && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            continue;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            continue;
        }
        if (!::IsDialogMessageW(box, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (m_owner)
        ::EnableWindow(m_owner, TRUE);
    ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
    ::DestroyWindow(box);
    if (m_owner)
        ::SetActiveWindow(m_owner);
    return narrow(state.answer);
}

} // namespace rinvo::win32
