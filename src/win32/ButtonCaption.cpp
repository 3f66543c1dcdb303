#include "ButtonCaption.h"

#include "Wide.h"
#include "forms/CaptionLines.h"

namespace rinvo::win32 {

std::vector<std::string> buttonCaptionLines(
    HDC dc, const std::string& caption, int buttonWidth, int dpi)
{
    // The 3-D frame and the focus rectangle inside it take about four pixels a side at 96 DPI.
    const int width = buttonWidth - 2 * ::MulDiv(4, dpi, 96);
    return forms::captionLines(
        caption,
        [dc](std::string_view piece) {
            const std::wstring wide = widen(piece);
            SIZE size {};
            ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
            return static_cast<int>(size.cx);
        },
        width);
}

bool setWrappedCaption(HWND button, const std::string& caption, int dpi)
{
    RECT client {};
    ::GetClientRect(button, &client);
    HDC dc = ::GetDC(button);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(button, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
    const std::vector<std::string> lines = buttonCaptionLines(dc, caption, client.right, dpi);
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    if (previous)
        ::SelectObject(dc, previous);
    ::ReleaseDC(button, dc);
    ::SetWindowTextW(button, widen(text).c_str());
    return lines.size() > 1;
}

} // namespace rinvo::win32
