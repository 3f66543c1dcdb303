#include "Drives.h"

#include <windows.h>

namespace rinvo {

std::vector<std::string> listDrives()
{
    std::vector<std::string> drives;
    const DWORD present = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (present & (1u << letter))
            drives.push_back(std::string(1, static_cast<char>('a' + letter)) + ":");
    }
    return drives;
}

} // namespace rinvo
