#include "FormWindow.h"

#include "ButtonCaption.h"
#include "Wide.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

namespace rinvo::win32 {

namespace {

constexpr wchar_t WindowClass[] = L"RinvoFormWindow";
// Control ids start here, in the table's order.
constexpr int FirstControlId = 100;

COLORREF colourOf(forms::Colour colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

struct WindowKind
{
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

WindowKind kindOf(forms::ControlKind kind)
{
    using forms::ControlKind;
    switch (kind) {
    case ControlKind::Label:
        return { L"STATIC", SS_LEFT | SS_NOPREFIX, 0 };
    case ControlKind::Button:
        return { L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 0 };
    case ControlKind::RuleBox:
        // Multi-line and read-only, wrapping a long path onto its second line, no scroll bars.
        return { L"EDIT", ES_MULTILINE | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE };
    case ControlKind::LineBox:
        return { L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE };
    case ControlKind::DropDownCombo:
        return { L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0 };
    case ControlKind::TextView:
        return { L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE };
    case ControlKind::DriveList:
        return { L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0 };
    case ControlKind::FolderTree:
        return { WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | WS_TABSTOP,
            WS_EX_CLIENTEDGE };
    case ControlKind::FileList:
        return { L"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE };
    case ControlKind::EditBox:
        return { L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE };
    }
    return { L"STATIC", 0, 0 };
}

bool isTextBox(forms::ControlKind kind)
{
    using forms::ControlKind;
    return kind == ControlKind::RuleBox || kind == ControlKind::LineBox
        || kind == ControlKind::TextView || kind == ControlKind::EditBox;
}

} // namespace

FormWindow::~FormWindow()
{
    if (m_window) {
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
    for (HFONT font : m_fonts)
        ::DeleteObject(font);
    if (m_accessibility)
        m_accessibility->Release();
    for (const Control& control : m_controls) {
        if (control.field)
            ::DeleteObject(control.field);
    }
}

int FormWindow::pixels(int twips) const
{
    return ::MulDiv(twips, m_dpi, 1440);
}

HWND FormWindow::control(std::string_view name) const
{
    for (const Control& control : m_controls) {
        if (control.layout->name == name)
            return control.window;
    }
    return nullptr;
}

std::string FormWindow::nameOf(HWND window) const
{
    const Control* found = controlOf(window);
    return found ? found->layout->name : std::string();
}

const FormWindow::Control* FormWindow::controlOf(HWND window) const
{
    for (const Control& control : m_controls) {
        if (control.window == window || (window && ::GetParent(window) == control.window))
            return &control;
    }
    return nullptr;
}

HFONT FormWindow::fontFor(const forms::ControlLayout& layout)
{
    if (!layout.font)
        return m_defaultFont;
    const forms::FontChoice& font = *layout.font;
    const BYTE characterSet = font.characterSet == forms::CharacterSet::ShiftJis ? SHIFTJIS_CHARSET
        : font.characterSet == forms::CharacterSet::Western                      ? ANSI_CHARSET
                                                                                 : DEFAULT_CHARSET;
    const int height = -::MulDiv(static_cast<int>(font.points * 100 + 0.5), m_dpi, 7200);
    HFONT made = ::CreateFontW(height, 0, 0, 0,
        font.weight == forms::FontWeight::Bold ? FW_BOLD : FW_NORMAL,
        font.style == forms::FontStyle::Italic, FALSE, FALSE, characterSet, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
        widen(font.face).c_str());
    m_fonts.push_back(made);
    return made;
}

bool FormWindow::create(const forms::FormLayout& form, DWORD style, HWND owner)
{
    registerWindowClass(WindowClass, DefWindowProcW);
    HDC screen = ::GetDC(nullptr);
    m_dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    // Controls without a font of their own take the system's message font at 9 points.
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -::MulDiv(9, m_dpi, 72);
    m_defaultFont = ::CreateFontIndirectW(&metrics.lfMessageFont);
    m_fonts.push_back(m_defaultFont);

    RECT frame { 0, 0, pixels(form.clientWidth), pixels(form.clientHeight) };
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    m_window = ::CreateWindowExW(0, WindowClass, widen(form.caption).c_str(), style, CW_USEDEFAULT,
        CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
        ::GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return false;
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));

    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, m_window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_controls.reserve(form.controls.size());
    int id = FirstControlId;
    for (const forms::ControlLayout& layout : form.controls)
        createControl(layout, id++);
    return true;
}

void FormWindow::createControl(const forms::ControlLayout& layout, int id)
{
    const WindowKind kind = kindOf(layout.kind);
    const forms::TwipsRect& r = layout.rect;
    // A drop-down's height includes its list; the table gives the field's.
    const int height = kind.className == std::wstring_view(L"COMBOBOX")
        ? pixels(r.height) + pixels(3000)
        : pixels(r.height);
    const bool readsItsText
        = layout.kind == forms::ControlKind::Label || layout.kind == forms::ControlKind::Button;
    const std::wstring text = layout.kind == forms::ControlKind::TextView || readsItsText
        ? widen(layout.text)
        : std::wstring();
    if (!readsItsText && !layout.accessibleName.empty()) {
        // NOTE: a screen reader names a control without a caption of its own after the label
        // just before it; this one is never shown. Where the system takes names set on a window
        // (Windows, not Wine), setAccessibleName below gives the same name.
        ::CreateWindowExW(0, L"STATIC", widen(layout.accessibleName).c_str(),
            WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, m_window, nullptr, ::GetModuleHandleW(nullptr),
            nullptr);
    }
    HWND window = ::CreateWindowExW(kind.extendedStyle, kind.className, text.c_str(),
        WS_CHILD | WS_VISIBLE | kind.style, pixels(r.left), pixels(r.top), pixels(r.width), height,
        m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
        nullptr);
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(layout)), FALSE);
    // A screen reader reads a wrapped caption as one line where the system takes a name set on
    // the button (Windows, not Wine).
    if (layout.kind == forms::ControlKind::Button && setWrappedCaption(window, layout.text, m_dpi))
        setAccessibleName(window, layout.accessibleName);
    if (!readsItsText && !layout.accessibleName.empty())
        setAccessibleName(window, layout.accessibleName);
    HBRUSH field = layout.fieldColour ? ::CreateSolidBrush(colourOf(*layout.fieldColour)) : nullptr;
    m_controls.push_back({ &layout, window, field, widen(layout.tooltip) });
    if (!layout.tooltip.empty() && m_tooltip) {
        addTip(window, m_controls.back().tip);
        // A drop-down's text field is a window of its own, over most of the box.
        COMBOBOXINFO combo {};
        combo.cbSize = sizeof combo;
        if (layout.kind == forms::ControlKind::DropDownCombo && ::GetComboBoxInfo(window, &combo)
            && combo.hwndItem)
            addTip(combo.hwndItem, m_controls.back().tip);
    }
}

void FormWindow::addTip(HWND window, std::wstring& tip)
{
    TTTOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = tip.data();
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::setAccessibleName(HWND window, const std::string& name)
{
    if (!m_accessibility) {
        IAccPropServices* services = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                IID_IAccPropServices, reinterpret_cast<void**>(&services))))
            return;
        m_accessibility = services;
    }
    m_accessibility->SetHwndPropStr(
        window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, widen(name).c_str());
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const Control* control = controlOf(reinterpret_cast<HWND>(lParam));
        if (!control)
            break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (!control->layout->textColour && !control->field) {
            if (!isTextBox(control->layout->kind))
                break;
            // A read-only box is drawn on the face colour, which looks disabled; these are in
            // the window colours of any box the user reads or clicks.
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        }
        if (control->layout->textColour)
            ::SetTextColor(dc, colourOf(*control->layout->textColour));
        if (control->field) {
            ::SetBkColor(dc, colourOf(*control->layout->fieldColour));
            return reinterpret_cast<LRESULT>(control->field);
        }
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->m_window = nullptr;
        form->destroyed();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

} // namespace rinvo::win32
