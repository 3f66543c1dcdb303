#include "ProgramFolder.h"

#include "PathRules.h"

#include <climits>
#include <cstdlib>

#include <unistd.h>

namespace rinvo {

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return parentPath(std::string_view(buffer, static_cast<std::size_t>(length)), PathStyle::Posix);
}

std::string userSettingsFolder()
{
    // XDG: a relative $XDG_CONFIG_HOME is invalid and ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return joinPath(configHome, "rinvo", PathStyle::Posix);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return joinPath(joinPath(home, ".config", PathStyle::Posix), "rinvo", PathStyle::Posix);
    return {};
}

bool userCanWriteFolder(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool isSystemInstallFolder(const std::string& folder)
{
    return folder == "/usr" || folder.starts_with("/usr/");
}

} // namespace rinvo
