#include "PathRules.h"

namespace rinvo {

char pathSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? '\\' : '/';
}

namespace {

bool isSeparator(char c, PathStyle style)
{
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

} // namespace

std::string trimTrailingSeparator(std::string_view path, PathStyle style)
{
    // NOTE: the POSIX root is the one folder whose separator is its whole name.
    if (path.size() > 1 && path.back() == pathSeparator(style))
        path.remove_suffix(1);
    return std::string(path);
}

std::string joinPath(std::string_view folder, std::string_view name, PathStyle style)
{
    std::string joined;
    joined.reserve(folder.size() + 1 + name.size());
    joined.append(folder);
    // A root ("/", "C:\\") already ends with its separator: its children are "/name", "C:\\name".
    if (folder.empty() || folder.back() != pathSeparator(style))
        joined.push_back(pathSeparator(style));
    joined.append(name);
    return joined;
}

std::string_view lastComponent(std::string_view path, PathStyle style)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style))
            return path.substr(i);
    }
    if (style == PathStyle::Windows && path.size() >= 2 && path[1] == ':')
        return path.substr(2);
    return path;
}

std::string normalizedPath(std::string_view path, PathStyle style)
{
    std::string result;
    result.reserve(path.size());
    const char separator = pathSeparator(style);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = isSeparator(path[i], style) ? separator : path[i];
        // A Windows network path keeps its two leading separators.
        const bool networkStart = style == PathStyle::Windows && i == 1 && result.size() == 1;
        if (c == separator && !result.empty() && result.back() == separator && !networkStart)
            continue;
        result.push_back(c);
    }
    const bool windowsRoot = style == PathStyle::Windows && result.size() == 3 && result[1] == ':';
    if (result.size() > 1 && result.back() == separator && !windowsRoot)
        result.pop_back();
    return result;
}

std::string parentPath(std::string_view path, PathStyle style)
{
    const std::string_view name = lastComponent(path, style);
    std::string_view folder = path.substr(0, path.size() - name.size());
    if (folder.empty())
        return ".";
    // Doubled separators before the name name the same folder as a single one.
    while (folder.size() > 1 && isSeparator(folder.back(), style)) {
        if (style == PathStyle::Windows && folder.size() == 3 && folder[1] == ':')
            break;
        folder.remove_suffix(1);
    }
    return std::string(folder);
}

} // namespace rinvo
