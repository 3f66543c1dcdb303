#pragma once

#include <string>

namespace rinvo {

/// Returns the folder that holds the program's executable, without a trailing separator except
/// for a root folder ("/" on POSIX, "C:\" on Windows); empty when the system does not tell.
std::string programFolder();

/// Returns the folder where this user's settings of the program belong: "rinvo" in
/// $XDG_CONFIG_HOME (by default ~/.config) on POSIX, "Rinvo" in %APPDATA% on Windows; empty
/// when the system names none.
std::string userSettingsFolder();

/// Returns the folder where the logs of this user's runs belong: "rinvo/logs" in
/// $XDG_STATE_HOME (by default ~/.local/state) on POSIX, "Rinvo\logs" in %LOCALAPPDATA% on
/// Windows; empty when the system names none.
std::string userLogFolder();

/// Returns the folder where the indexes of the rules' destinations belong, which the program
/// can always rebuild: "rinvo/index" in $XDG_CACHE_HOME (by default ~/.cache) on POSIX,
/// "Rinvo\cache" in %LOCALAPPDATA% on Windows; empty when the system names none.
std::string userIndexFolder();

/// Tells whether the current user can create files in the folder.
bool userCanWriteFolder(const std::string& folder);

/// Tells whether the folder belongs to the system's own installation (below /usr on POSIX),
/// where the program never writes, even for a user who could.
bool isSystemInstallFolder(const std::string& folder);

} // namespace rinvo
