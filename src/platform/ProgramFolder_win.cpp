#include "ProgramFolder.h"

#include "PathRules.h"
#include "ProcessStart.h"
#include "ScopedHandle.h"
#include "TempNames.h"
#include "WinSupport.h"

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

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

namespace {

// The known folder's path with 'below' joined to it; empty when the system names none.
std::string knownFolder(REFKNOWNFOLDERID id, std::string_view below)
{
    PWSTR known = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &known)))
        folder = joinPath(win::narrow(known), below, PathStyle::Windows);
    ::CoTaskMemFree(known);
    return folder;
}

} // namespace

std::string userSettingsFolder()
{
    return knownFolder(FOLDERID_RoamingAppData, "Rinvo");
}

std::string userLogFolder()
{
    return knownFolder(FOLDERID_LocalAppData, "Rinvo\\logs");
}

std::string userIndexFolder()
{
    return knownFolder(FOLDERID_LocalAppData, "Rinvo\\cache");
}

bool userCanWriteFolder(const std::string& folder)
{
    // NOTE: Windows decides by the folder's access list, which only an attempt tells.
    if (folder.empty())
        return false;
    const std::wstring probe
        = win::win32Path(joinPath(folder, makeTempName(thisWriter(), 0xFFFF), PathStyle::Windows));
    // The probe is gone again once its handle is.
    return win::ScopedKernelHandle(
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr))
        .valid();
}

bool isSystemInstallFolder(const std::string&)
{
    return false;
}

} // namespace rinvo
