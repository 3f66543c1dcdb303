#include "Drives.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include <mntent.h>

namespace rinvo {

namespace {

bool isPseudoFileSystem(const std::string& type)
{
    static const std::set<std::string> Pseudo
        = { "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "mqueue", "debugfs",
              "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs",
              "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "ramfs" };
    return Pseudo.count(type) > 0;
}

bool isSystemPlace(const std::string& path)
{
    for (const char* prefix : { "/proc", "/sys", "/dev", "/run", "/boot/efi" }) {
        const std::string p(prefix);
        if (path == p || path.starts_with(p + "/"))
            return !path.starts_with("/run/media/");
    }
    return false;
}

// /proc/self/mounts writes blanks and some other characters in octal escapes.
std::string unescape(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string digits = text.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(), [](char c) {
                    return c >= '0' && c <= '7';
                })) {
                result.push_back(static_cast<char>(std::stoi(digits, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        result.push_back(text[i]);
    }
    return result;
}

} // namespace

std::vector<std::string> listDrives()
{
    std::vector<std::string> drives { "/" };
    FILE* table = ::setmntent("/proc/self/mounts", "r");
    if (!table)
        return drives;
    std::vector<std::string> others;
    while (struct mntent* entry = ::getmntent(table)) {
        const std::string path = unescape(entry->mnt_dir);
        if (path == "/" || isPseudoFileSystem(entry->mnt_type) || isSystemPlace(path))
            continue;
        if (std::find(others.begin(), others.end(), path) == others.end())
            others.push_back(path);
    }
    ::endmntent(table);
    std::sort(others.begin(), others.end());
    drives.insert(drives.end(), others.begin(), others.end());
    return drives;
}

} // namespace rinvo
