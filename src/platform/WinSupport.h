#pragma once

// Helpers shared by the Windows files of the platform layer; nothing outside it includes this.

#include "FileSystem.h"

#include <string>
#include <string_view>

#include <windows.h>

namespace rinvo::win {

/// Converts UTF-8 to UTF-16 and back; invalid input becomes U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

/// Maps a Win32 error code to the program's failure kinds, in this one place.
FsError errorFromCode(DWORD code);
FsError lastError();

/// Converts between FILETIME (100 ns steps since 1601) and the program's time (since 1970).
FileTime fileTimeFrom(const FILETIME& time);
FILETIME toFileTime(FileTime time);

/// Fills the program's view of an entry from Win32 attributes, time and size.
EntryInfo entryInfoFrom(DWORD attributes, const FILETIME& modified, DWORD sizeHigh, DWORD sizeLow);

/// Returns the path as Win32 takes it: separators made single, "X:" as the drive's root "X:\".
std::wstring win32Path(std::string_view path);

} // namespace rinvo::win
