#pragma once

#include <string>
#include <string_view>

namespace rinvo::win32 {

/// Converts the core's UTF-8 text to the UTF-16 of the W functions, and back.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

/// Returns a window's text (a caption, a box's content) as UTF-8.
std::string windowText(struct HWND__* window);

} // namespace rinvo::win32
