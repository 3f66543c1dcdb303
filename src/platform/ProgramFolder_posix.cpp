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

namespace {

// The folder an XDG variable names, or the default below the home folder; a relative value is
// invalid and ignored, as the XDG rules say.
std::string xdgFolder(const char* variable, const char* defaultBelowHome)
{
    const char* set = std::getenv(variable);
    if (set && set[0] == '/')
        return set;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return joinPath(home, defaultBelowHome, PathStyle::Posix);
    return {};
}

} // namespace

std::string userSettingsFolder()
{
    const std::string config = xdgFolder("XDG_CONFIG_HOME", ".config");
    return config.empty() ? config : joinPath(config, "rinvo", PathStyle::Posix);
}

std::string userLogFolder()
{
    const std::string state = xdgFolder("XDG_STATE_HOME", ".local/state");
    return state.empty() ? state : joinPath(state, "rinvo/logs", PathStyle::Posix);
}

std::string userIndexFolder()
{
    const std::string cache = xdgFolder("XDG_CACHE_HOME", ".cache");
    return cache.empty() ? cache : joinPath(cache, "rinvo/index", PathStyle::Posix);
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
