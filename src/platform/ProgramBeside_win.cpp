#include "ProgramBeside.h"

#include "PathRules.h"
#include "ProgramFolder.h"
#include "ScopedHandle.h"
#include "WinSupport.h"

#include <windows.h>

namespace rinvo {

namespace {

// An argument quoted as CommandLineToArgvW reads it back.
std::wstring quoted(const std::wstring& arg)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, L'\\');
    out.push_back(L'"');
    return out;
}

} // namespace

std::optional<int> runProgramBeside(
    std::string_view name, const std::vector<std::string>& args, std::string& why)
{
    const std::wstring path = win::widen(joinPath(programFolder(), name, PathStyle::Windows));
    std::wstring command = quoted(path);
    for (const std::string& arg : args)
        command.append(L" ").append(quoted(win::widen(arg)));
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started {};
    if (!::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
            nullptr, &startup, &started)) {
        why = win::narrow(path) + ": " + win::lastError().message;
        return std::nullopt;
    }
    const win::ScopedKernelHandle process(started.hProcess);
    const win::ScopedKernelHandle thread(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.get(), &status);
    return static_cast<int>(status);
}

} // namespace rinvo
