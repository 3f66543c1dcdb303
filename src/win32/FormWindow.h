#pragma once

#include "forms/FormLayout.h"

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

struct IAccPropServices;

namespace rinvo::win32 {

/// A top-level window made from its table: client size, controls, fonts, colours and tooltips,
/// with twips converted at the system's DPI (the program declares itself DPI aware).
class FormWindow
{
public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    HWND handle() const { return m_window; }
    /// Returns the named control of the table, or null.
    HWND control(std::string_view name) const;
    /// Returns the name of a control's window, or empty text.
    std::string nameOf(HWND control) const;
    /// The tooltip window that carries the controls' tips.
    HWND tooltip() const { return m_tooltip; }
    int dpi() const { return m_dpi; }
    /// Converts twips to pixels at the window's DPI.
    int pixels(int twips) const;

protected:
    FormWindow() = default;

    /// Makes the window with the table's caption and client size, then its controls in the
    /// table's order, which is the focus order.
    bool create(const forms::FormLayout& form, DWORD style, HWND owner);
    /// Handles a message of the window; the default gives the controls their colours.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// Runs when the window is gone.
    virtual void destroyed() { }

private:
    struct Control
    {
        const forms::ControlLayout* layout;
        HWND window;
        HBRUSH field;
        std::wstring tip;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControl(const forms::ControlLayout& layout, int id);
    HFONT fontFor(const forms::ControlLayout& layout);
    void setAccessibleName(HWND window, const std::string& name);
    /// Shows the tip over the window; the text must outlive the window.
    void addTip(HWND window, std::wstring& tip);
    const Control* controlOf(HWND window) const;

    HWND m_window = nullptr;
    HWND m_tooltip = nullptr;
    int m_dpi = 96;
    std::vector<Control> m_controls;
    std::vector<HFONT> m_fonts;
    HFONT m_defaultFont = nullptr;
    IAccPropServices* m_accessibility = nullptr;
};

} // namespace rinvo::win32
