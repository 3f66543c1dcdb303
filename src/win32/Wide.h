#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace rinvo::win32 {

/// Converts the core's UTF-8 text to the UTF-16 of the W functions, and back.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

/// Returns a window's text (a caption, a box's content) as UTF-8.
std::string windowText(HWND window);

/// Registers a class of top-level window with the program's icon, the arrow pointer and the
/// dialog face, once however often it is asked.
void registerWindowClass(const wchar_t* name, WNDPROC procedure);

} // namespace rinvo::win32
