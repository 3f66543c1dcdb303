#include "CopyOption.h"

#include "platform/FileSystem.h"

namespace rinvo {

bool isExcludedByOption(std::uint32_t attributes, CopyOption option)
{
    switch (option) {
    case CopyOption::SkipHiddenAndSystem:
        return (attributes & (SystemAttribute | HiddenAttribute)) != 0;
    case CopyOption::SkipSystem:
        return (attributes & SystemAttribute) != 0;
    default:
        return false;
    }
}

} // namespace rinvo
