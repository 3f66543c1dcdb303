#include "Processors.h"

#include <windows.h>

namespace rinvo {

unsigned usableProcessorCount()
{
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) && process != 0) {
        unsigned count = 0;
        for (; process; process &= process - 1)
            ++count;
        return count;
    }
    return 1;
}

} // namespace rinvo
