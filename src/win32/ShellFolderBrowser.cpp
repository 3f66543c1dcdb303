#include "ShellFolderBrowser.h"

#include "Wide.h"

#include <iterator>
#include <string_view>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

namespace rinvo::win32 {

namespace {

// The rule boxes' flags: file-system items only, the resizable style, files beside folders.
constexpr UINT BrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_BROWSEINCLUDEFILES;

// The dialog's folder tree, which the newer style nests in a control of its own.
HWND folderTreeOf(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, static_cast<int>(std::size(name)));
        if (std::wstring_view(name) == WC_TREEVIEWW)
            return child;
        if (HWND inner = folderTreeOf(child))
            return inner;
    }
    return nullptr;
}

// Scrolls the tree's selection, whatever it is by now, into view.
void CALLBACK scrollSelectionIntoView(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(dialog, timer);
    if (HWND tree = folderTreeOf(dialog)) {
        if (const auto item = ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0))
            ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, item);
    }
}

// Selects the start path once the dialog exists; a path the dialog cannot find leaves its
// own initial selection. NOTE: the tree selects the start folder without scrolling to it, and
// only once it has filled its levels; so each new selection is scrolled into view after the
// messages queued before it, by a timer that looks the selection up when it fires.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM, LPARAM startPath)
{
    constexpr UINT_PTR ScrollTimer = 1;
    if (message == BFFM_INITIALIZED && startPath)
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, startPath);
    if (message == BFFM_SELCHANGED)
        ::SetTimer(dialog, ScrollTimer, 0, scrollSelectionIntoView);
    return 0;
}

class ShellFolderBrowser final : public FolderBrowser
{
public:
    explicit ShellFolderBrowser(HWND owner)
        : m_owner(owner)
    { }

    std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) override
    {
        const std::wstring title = widen(prompt);
        // A bare drive ("C:", as a destination box holds its root) names the drive's current
        // folder to the system; the dialog is to start at its root.
        std::wstring start = widen(startPath);
        if (start.size() == 2 && start[1] == L':')
            start += L'\\';
        // The newer dialog style needs OLE on this thread.
        const HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        BROWSEINFOW info {};
        info.hwndOwner = m_owner;
        info.lpszTitle = title.c_str();
        info.ulFlags = BrowseFlags;
        info.lpfn = browseCallback;
        // NOTE: the start path travels in the record's lParam rather than in a shared text.
        info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
        std::string chosen;
        if (PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info)) {
            wchar_t path[32768];
            if (::SHGetPathFromIDListEx(
                    list, path, static_cast<DWORD>(std::size(path)), GPFIDL_DEFAULT))
                chosen = narrow(path);
            ::CoTaskMemFree(list);
        }
        if (SUCCEEDED(initialised))
            ::CoUninitialize();
        return chosen;
    }

private:
    HWND m_owner;
};

} // namespace

std::unique_ptr<FolderBrowser> createShellFolderBrowser(HWND owner)
{
    return std::make_unique<ShellFolderBrowser>(owner);
}

} // namespace rinvo::win32
