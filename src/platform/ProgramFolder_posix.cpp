#include "ProgramFolder.h"

#include "PathRules.h"

#include <climits>

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

} // namespace rinvo
