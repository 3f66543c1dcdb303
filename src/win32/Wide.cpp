#include "Wide.h"

#include <windows.h>

namespace rinvo::win32 {

std::wstring widen(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    ::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string narrow(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    std::string text(static_cast<std::size_t>(::WideCharToMultiByte(
                         CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(),
        static_cast<int>(text.size()), nullptr, nullptr);
    return text;
}

std::string windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void registerWindowClass(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    windowClass.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    ::RegisterClassExW(&windowClass);
}

} // namespace rinvo::win32
