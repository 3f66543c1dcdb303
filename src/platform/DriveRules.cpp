#include "DriveRules.h"

#include <sstream>

namespace rinvo {

namespace {

// Returns the path's first 'count' components joined again ("/media/u/STICK" for 3), or
// nothing when it has fewer or they do not begin with 'leading'.
std::optional<std::string> leadingFolder(
    std::string_view path, std::initializer_list<std::string_view> leading, std::size_t count)
{
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < path.size() && parts.size() < count) {
        const std::size_t end = path.find('/', at);
        const std::string_view part = path.substr(at, end - at);
        if (!part.empty())
            parts.push_back(part);
        at = end == std::string_view::npos ? path.size() : end + 1;
    }
    if (parts.size() < count)
        return std::nullopt;
    std::size_t i = 0;
    for (std::string_view expected : leading) {
        if (parts[i++] != expected)
            return std::nullopt;
    }
    std::string folder;
    for (std::string_view part : parts)
        folder.append("/").append(part);
    return folder;
}

bool lies(std::string_view path, std::string_view folder)
{
    return path == folder
        || (path.starts_with(folder) && path.size() > folder.size()
            && (folder.ends_with('/') || path[folder.size()] == '/'));
}

// Undoes the octal escapes a file-system table writes blanks and tabs in ("\040").
std::string unescaped(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3'
            && text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0'
            && text[i + 3] <= '7') {
            result.push_back(static_cast<char>(
                (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

} // namespace

std::optional<std::string> driveOfPath(
    std::string_view path, PathStyle style, const std::vector<std::string>& configuredMounts)
{
    if (path.starts_with("\\\\"))
        return std::nullopt;
    if (style == PathStyle::Windows || !path.starts_with('/'))
        return std::string(path.substr(0, 2));
    const std::string normal = normalizedPath(path, PathStyle::Posix);
    // NOTE: a mount point the system is configured with wins over the usual places, so a drive
    // mounted at /media/backup is that folder, not /media/backup/nightly.
    std::optional<std::string> nearest;
    for (const std::string& configured : configuredMounts) {
        const std::string mount = normalizedPath(configured, PathStyle::Posix);
        if (lies(normal, mount) && (!nearest || mount.size() > nearest->size()))
            nearest = mount;
    }
    if (nearest)
        return nearest;
    for (auto folder : { leadingFolder(normal, { "run", "media" }, 4),
             leadingFolder(normal, { "media" }, 3), leadingFolder(normal, { "mnt" }, 2) }) {
        if (folder && lies(normal, *folder))
            return folder;
    }
    return std::nullopt;
}

std::vector<std::string> mountPointsOfTable(std::string_view table)
{
    std::vector<std::string> mounts;
    std::istringstream lines { std::string(table) };
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string type;
        if (!(fields >> device >> mountPoint >> type) || device.starts_with('#'))
            continue;
        if (!mountPoint.starts_with('/') || mountPoint == "/" || type == "swap" || type == "proc"
            || type == "sysfs" || type == "tmpfs" || type == "devpts")
            continue;
        mounts.push_back(unescaped(mountPoint));
    }
    return mounts;
}

} // namespace rinvo
