#include "CaseFolding.h"
#include "WinSupport.h"

namespace rinvo {

std::string foldCase(std::string_view name)
{
    // CharLowerBuff lowers by the system's own tables, as the file systems fold.
    std::wstring wide = win::widen(name);
    if (!wide.empty())
        ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return win::narrow(wide);
}

} // namespace rinvo
