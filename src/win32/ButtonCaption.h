#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace rinvo::win32 {

/// The lines a caption is drawn with on a push button 'buttonWidth' pixels wide, measured in
/// the font selected into 'dc'; the button's frame and focus mark take their margin at 'dpi'.
std::vector<std::string> buttonCaptionLines(
    HDC dc, const std::string& caption, int buttonWidth, int dpi);

/// Gives a multi-line push button its caption broken into those lines, in its own font, so
/// that the system's word breaking (which breaks between Japanese characters) has nothing left
/// to break. Returns whether the caption shows on more than one line.
bool setWrappedCaption(HWND button, const std::string& caption, int dpi);

} // namespace rinvo::win32
