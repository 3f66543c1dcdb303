// The real rinvo.exe started in a folder with a rule file beside it, driven from this process
// as a user would: buttons clicked, message boxes answered.

#include "platform/ScopedHandle.h"
#include "win32/Wide.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

using namespace rinvo::win32;
using namespace std::chrono_literals;

namespace {

std::wstring windowsPath(const char* built)
{
    // The build passes the program's path as the build machine names it; Wine shows the host's
    // root as drive Z:.
    std::wstring path = widen(built);
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path.front() == L'\\' ? L"Z:" + path : path;
}

std::wstring exePath()
{
    return windowsPath(RINVO_EXE);
}

std::wstring textOf(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
        SMTO_ABORTIFHUNG, 2000, &got);
    return text;
}

struct Search
{
    DWORD process;
    std::wstring className;
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (process == search->process && ::IsWindowVisible(window)
        && (search->className.empty() || search->className == className)
        && (search->title.empty() || textOf(window) == search->title))
        search->found.push_back(window);
    return TRUE;
}

// Waits up to ten seconds for the process's top-level windows of that class and title.
std::vector<HWND> waitForWindows(
    DWORD process, const std::wstring& className, const std::wstring& title)
{
    for (int tries = 0; tries < 200; ++tries) {
        Search search { process, className, title, {} };
        ::EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
        if (!search.found.empty())
            return search.found;
        std::this_thread::sleep_for(50ms);
    }
    return {};
}

HWND childWithText(HWND parent, const std::wstring& text)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (textOf(child) == text)
            return child;
    }
    return nullptr;
}

std::string readCaptured(HANDLE file)
{
    ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string read;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        read.append(buffer, got);
    return read;
}

// A copy of the program in a folder of its own, started there.
class RunningProgram
{
public:
    RunningProgram()
    {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"rinvo-e2e-" + std::to_wstring(::GetCurrentProcessId())
            + L"-" + std::to_wstring(counter++);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ::CopyFileW(exePath().c_str(), (folder + L"\\rinvo.exe").c_str(), FALSE);
        ::CopyFileW(windowsPath(RINVO_COM).c_str(), (folder + L"\\rinvo.com").c_str(), FALSE);
    }

    ~RunningProgram()
    {
        if (m_process)
            ::TerminateProcess(m_process.get(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(folder), ignored);
    }

    /// Writes the rule file in the system's code page, as the program keeps it.
    void writeRules(const std::wstring& rules)
    {
        const int size = ::WideCharToMultiByte(
            CP_ACP, 0, rules.data(), static_cast<int>(rules.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, rules.data(), static_cast<int>(rules.size()), bytes.data(),
            size, nullptr, nullptr);
        const rinvo::win::ScopedKernelHandle file(
            ::CreateFileW((folder + L"\\copyrule.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

    HWND start()
    {
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + folder + L"\\rinvo.exe\"";
        PROCESS_INFORMATION started {};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                folder.c_str(), &startup, &started))
            return nullptr;
        m_process = rinvo::win::ScopedKernelHandle(started.hProcess);
        const rinvo::win::ScopedKernelHandle unusedThread(started.hThread);
        m_processId = started.dwProcessId;
        ::WaitForInputIdle(m_process.get(), 10000);
        const auto windows = waitForWindows(m_processId, {}, L"Rinvo Ver5");
        return windows.empty() ? nullptr : windows.front();
    }

    /// Answers the next message box with the button of that id, returning its text.
    std::wstring answer(int button)
    {
        const auto boxes = waitForWindows(m_processId, L"#32770", L"Rinvo V40");
        if (boxes.empty())
            return L"(no message box)";
        const std::wstring text = textOf(::GetDlgItem(boxes.front(), 0xFFFF));
        ::PostMessageW(::GetDlgItem(boxes.front(), button), BM_CLICK, 0, 0);
        // Wait for the box to go before the next one is looked for.
        for (int tries = 0; tries < 100 && ::IsWindow(boxes.front()); ++tries)
            std::this_thread::sleep_for(20ms);
        return text;
    }

    /// Runs the console companion on this process's console, as typed in its folder, with its
    /// output and errors caught; returns its exit status.
    DWORD runConsole(const std::wstring& arguments, std::string& output, std::string& errors)
    {
        SECURITY_ATTRIBUTES inherited { sizeof inherited, nullptr, TRUE };
        auto capture = [&](const wchar_t* name) {
            return rinvo::win::ScopedKernelHandle(::CreateFileW((folder + name).c_str(),
                GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        };
        const rinvo::win::ScopedKernelHandle out = capture(L"\\out.txt");
        const rinvo::win::ScopedKernelHandle err = capture(L"\\err.txt");
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        std::wstring command = L"\"" + folder + L"\\rinvo.com\" " + arguments;
        PROCESS_INFORMATION started {};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                folder.c_str(), &startup, &started))
            return ~DWORD(0);
        const rinvo::win::ScopedKernelHandle process(started.hProcess);
        const rinvo::win::ScopedKernelHandle thread(started.hThread);
        DWORD status = ~DWORD(0);
        if (::WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process.get(), &status);
        else
            ::TerminateProcess(process.get(), status);
        output = readCaptured(out.get());
        errors = readCaptured(err.get());
        return status;
    }

    bool exits() { return ::WaitForSingleObject(m_process.get(), 10000) == WAIT_OBJECT_0; }

    DWORD processId() const { return m_processId; }

    std::wstring folder;

private:
    static inline int counter = 0;
    rinvo::win::ScopedKernelHandle m_process;
    DWORD m_processId = 0;
};

bool fileHas(const std::wstring& path, const std::string& data)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    const std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return read == data;
}

} // namespace

TEST(EndToEnd, OneClickBacksUpTwoRowsCreatingAMissingFolderAndCloses)
{
    RunningProgram program;
    const std::wstring base = program.folder;
    ::CreateDirectoryW((base + L"\\資料").c_str(), nullptr);
    ::CreateDirectoryW((base + L"\\写真").c_str(), nullptr);
    ::CreateDirectoryW((base + L"\\控え").c_str(), nullptr);
    std::ofstream(std::filesystem::path(base + L"\\資料\\報告.txt")) << "report";
    std::ofstream(std::filesystem::path(base + L"\\写真\\p.jpg")) << "photo";
    program.writeRules(L"\"" + base + L"\\資料\",\"" + base + L"\\控え\"\r\n\"" + base
        + L"\\写真\",\"" + base + L"\\控え2\"\r\n");
    HWND main = program.start();
    ASSERT_TRUE(main);
    ::PostMessageW(childWithText(main, L"コピー\r\n開始"), BM_CLICK, 0, 0);
    EXPECT_EQ(program.answer(IDYES),
        L"コピー先フォルダ " + base + L"\\控え2 が存在しません。作成しますか？");
    EXPECT_EQ(program.answer(IDOK), L"コピーを完了しました。");
    EXPECT_TRUE(program.exits()) << "the window closes after the run";
    EXPECT_TRUE(fileHas(base + L"\\控え\\報告.txt", "report"));
    EXPECT_TRUE(fileHas(base + L"\\控え2\\p.jpg", "photo"));
}

TEST(EndToEnd, WithoutRulesARunCopiesNothingAndSaysSo)
{
    RunningProgram program;
    HWND main = program.start();
    ASSERT_TRUE(main);
    ::PostMessageW(childWithText(main, L"コピー\r\n開始"), BM_CLICK, 0, 0);
    EXPECT_EQ(program.answer(IDOK), L"コピーは行われませんでした。");
    EXPECT_TRUE(program.exits());
}

TEST(EndToEnd, TheHelpWindowOpensOnceAndOutlivesTheMainWindow)
{
    RunningProgram program;
    HWND main = program.start();
    ASSERT_TRUE(main);
    HWND help = childWithText(main, L"説明");
    ::PostMessageW(help, BM_CLICK, 0, 0);
    ::PostMessageW(help, BM_CLICK, 0, 0);
    const auto shown = waitForWindows(program.processId(), {}, L"Rinvoの使い方");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(waitForWindows(program.processId(), {}, L"Rinvoの使い方").size(), 1u);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(::IsWindow(shown.front())) << "the help window stays";
    ::PostMessageW(shown.front(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.exits()) << "the program ends with its last window";
}

TEST(EndToEnd, TheConsoleCompanionTellsTheFailuresSideAndPathAndGivesTheConsoleItsCodePagesBack)
{
    // The console a user types in, in the Japanese code page.
    // Under a test runner the process may hang on to a console without a screen.
    if (::GetConsoleOutputCP() == 0) {
        ::FreeConsole();
        ASSERT_TRUE(::AllocConsole());
    }
    ASSERT_TRUE(::SetConsoleOutputCP(932));
    ASSERT_TRUE(::SetConsoleCP(932));
    RunningProgram program;
    const std::wstring base = program.folder;
    ::CreateDirectoryW((base + L"\\元").c_str(), nullptr);
    ::CreateDirectoryW((base + L"\\先").c_str(), nullptr);
    std::ofstream(std::filesystem::path(base + L"\\先\\表.txt")) << "old";
    std::filesystem::last_write_time(std::filesystem::path(base + L"\\先\\表.txt"),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(48));
    ::SetFileAttributesW((base + L"\\先\\表.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    std::ofstream(std::filesystem::path(base + L"\\元\\表.txt")) << "new";
    program.writeRules(L"\"" + base + L"\\元\",\"" + base + L"\\先\"\r\n");

    std::string output;
    std::string errors;
    EXPECT_EQ(program.runConsole(L"run", output, errors), 1u) << output << errors;
    const std::string destination = narrow(base + L"\\先\\表.txt");
    EXPECT_NE(errors.find("コピー先 " + destination + ": "), std::string::npos) << errors;
    EXPECT_EQ(errors.find("コピー元"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("read-only"), std::string::npos) << errors;
    EXPECT_EQ(::GetConsoleOutputCP(), 932u);
    EXPECT_EQ(::GetConsoleCP(), 932u);

    // A mistyped command ends with an error, the code pages given back all the same.
    EXPECT_EQ(program.runConsole(L"--no-such-option", output, errors), 2u) << errors;
    EXPECT_EQ(::GetConsoleOutputCP(), 932u);
    ::SetFileAttributesW((base + L"\\先\\表.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}
