#include "ProgramFolder.h"

#include "PathRules.h"
#include "WinSupport.h"

namespace rinvo {

std::string programFolder()
{
    std::wstring buffer(32768, L'\0');
    const DWORD length
        = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return {};
    buffer.resize(length);
    // A drive's root folder keeps its separator ("C:\"), as the platform reports it.
    return parentPath(win::narrow(buffer), PathStyle::Windows);
}

} // namespace rinvo
