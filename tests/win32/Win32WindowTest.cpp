// The Win32 main window on a thread of its own, driven by messages from the test's thread:
// its controls against the table, and its commands with scripted answers.

#include "app/RinvoModule.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedFolderBrowser.h"
#include "fakes/ScriptedInputBox.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/TextCodec.h"
#include "texts/Catalogue.h"
#include "win32/ButtonCaption.h"
#include "win32/MainWindow.h"
#include "win32/SelectFolderWindow.h"
#include "win32/Wide.h"
#include "win32/Win32InputBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

using namespace rinvo;
using namespace rinvo::testing;
using namespace rinvo::win32;

namespace {

constexpr const char* RuleFile = "/opt/rinvo/copyrule.txt";

std::string textOf(HWND window)
{
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return narrow(text);
}

// Runs a window on a thread of its own, as the program's thread would, until the test ends.
template <class Window> class WindowThread
{
public:
    template <class Make> explicit WindowThread(Make make)
    {
        m_thread = std::thread([this, make] {
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            std::unique_ptr<Window> window = make(*this);
            {
                std::lock_guard lock(m_mutex);
                m_window = window.get();
                m_threadId = ::GetCurrentThreadId();
            }
            m_ready.notify_all();
            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            window.reset();
            ::CoUninitialize();
        });
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return m_window != nullptr; });
    }

    ~WindowThread()
    {
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    Window& window() { return *m_window; }
    DWORD threadId() const { return m_threadId; }
    /// Clicks a button and returns once its handler has run.
    void click(const char* name) { ::SendMessageW(m_window->control(name), BM_CLICK, 0, 0); }
    /// Waits up to five seconds for the condition, which the window's thread makes true.
    template <class Condition> bool waitUntil(Condition condition)
    {
        for (int tries = 0; tries < 250 && !condition(); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return condition();
    }

    std::atomic<int> helpRequests = 0;
    std::atomic<bool> closed = false;

private:
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    Window* m_window = nullptr;
    DWORD m_threadId = 0;
};

using MainWindowThread = WindowThread<MainWindow>;

// A caption wider than its button shows on two lines, broken at its blanks.
std::string shownCaption(const std::string& caption)
{
    if (caption == texts::ReloadCommand)
        return "設定\r\nロード";
    if (caption == texts::CopyCommand)
        return "コピー\r\n開始";
    return caption;
}

// Checks a window's controls against its table: place at the window's DPI, and caption.
void checkAgainstTable(FormWindow& window, const forms::FormLayout& form)
{
    RECT client;
    ::GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, window.pixels(form.clientWidth));
    EXPECT_EQ(client.bottom, window.pixels(form.clientHeight));
    EXPECT_EQ(textOf(window.handle()), form.caption);
    for (const forms::ControlLayout& layout : form.controls) {
        SCOPED_TRACE(layout.name);
        HWND h = window.control(layout.name);
        ASSERT_TRUE(h);
        RECT r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(HWND_DESKTOP, window.handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, window.pixels(layout.rect.left));
        EXPECT_EQ(r.top, window.pixels(layout.rect.top));
        EXPECT_EQ(r.right - r.left, window.pixels(layout.rect.width));
        if (layout.kind != forms::ControlKind::DropDownCombo
            && layout.kind != forms::ControlKind::DriveList) {
            EXPECT_EQ(r.bottom - r.top, window.pixels(layout.rect.height));
        }
        if (layout.kind == forms::ControlKind::Label) {
            EXPECT_EQ(textOf(h), layout.text);
        }
        if (layout.kind == forms::ControlKind::Button) {
            EXPECT_EQ(textOf(h), shownCaption(layout.text));
        }
    }
}

class Win32MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs.addFile(RuleFile, "\"/src\",\"/dst\"\r\n", {});
        fs.addFile("/src/a.txt", "a", { 1'700'000'000, 0 });
        fs.addFolder("/dst");
        fs.addFolder("/other");
        const MainWindowServices services { fs, messages, browser, *codec, RuleFile, module,
            "/logs" };
        ui = std::make_unique<MainWindowThread>([services](MainWindowThread& thread) {
            return std::make_unique<MainWindow>(
                services, [&thread] { ++thread.helpRequests; },
                [&thread] { thread.closed = true; });
        });
    }

    void TearDown() override
    {
        ui.reset();
        EXPECT_EQ(messages.surprises(), "");
    }

    HWND control(const std::string& name) { return ui->window().control(name); }

    MemoryFileSystem fs;
    ScriptedMessageBox messages;
    ScriptedFolderBrowser browser;
    RinvoModule module;
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    std::unique_ptr<MainWindowThread> ui;
};

} // namespace

TEST_F(Win32MainWindowTest, EveryControlStandsWhereTheTableSaysWithItsTextAndTip)
{
    MainWindow& window = ui->window();
    const forms::FormLayout& form = forms::rinvoMainForm();
    checkAgainstTable(window, form);
    for (const forms::ControlLayout& layout : form.controls) {
        if (layout.tooltip.empty())
            continue;
        wchar_t tip[512] = {};
        TTTOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.hwnd = window.handle();
        tool.uId = reinterpret_cast<UINT_PTR>(control(layout.name));
        tool.lpszText = tip;
        ::SendMessageW(
            window.tooltip(), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(narrow(tip), layout.tooltip) << layout.name;
    }
    EXPECT_EQ(textOf(control("SFolder0")), "/src");
    EXPECT_EQ(textOf(control("DFolder0")), "/dst");
    // The option box's tip shows over its text field too, not over its arrow only.
    COMBOBOXINFO combo {};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(::GetComboBoxInfo(control("AttrStt"), &combo));
    wchar_t tip[512] = {};
    TTTOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = window.handle();
    tool.uId = reinterpret_cast<UINT_PTR>(combo.hwndItem);
    tool.lpszText = tip;
    ::SendMessageW(window.tooltip(), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(narrow(tip), texts::CopyOptionTip);
}

// A control as it paints itself, pixel by pixel (0x00RRGGBB), row after row.
struct Rendering
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y * width + x)]; }
};

Rendering render(HWND control)
{
    RECT client {};
    ::GetClientRect(control, &client);
    Rendering shot { client.right, client.bottom, {} };
    BITMAPINFO info {};
    info.bmiHeader
        = { sizeof info.bmiHeader, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    ::SendMessageW(
        control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    const auto* first = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(first, first + std::size_t(shot.width * shot.height));
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return shot;
}

std::uint32_t systemColour(int index)
{
    const COLORREF colour = ::GetSysColor(index);
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// The bands of consecutive rows inside a button's frame that hold dark ink.
int inkBands(HWND button)
{
    const Rendering shot = render(button);
    const int margin = 4;
    int bands = 0;
    bool inBand = false;
    for (int y = margin; y < shot.height - margin; ++y) {
        bool ink = false;
        for (int x = margin; x < shot.width - margin && !ink; ++x) {
            const std::uint32_t p = shot.at(x, y);
            ink = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 3 * 100;
        }
        bands += ink && !inBand;
        inBand = ink;
    }
    return bands;
}

TEST_F(Win32MainWindowTest, CaptionsWiderThanTheirButtonsShowOnTwoLinesBrokenAtTheBlanks)
{
    const std::pair<const char*, std::vector<std::string>> wrapped[] = {
        { "Yobikomi", { "設定", "ロード" } },
        { "GoCopy", { "コピー", "開始" } },
    };
    // At each common scale, in the table's font at that scale.
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (int dpi : { 96, 120, 144, 192 }) {
        for (const auto& [name, lines] : wrapped) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi) + " DPI");
            const forms::ControlLayout& layout = forms::rinvoMainForm().control(name);
            HFONT font = ::CreateFontW(
                -::MulDiv(static_cast<int>(layout.font->points * 100 + 0.5), dpi, 7200), 0, 0, 0,
                FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                widen(layout.font->face).c_str());
            HGDIOBJ previous = ::SelectObject(dc, font);
            EXPECT_EQ(
                buttonCaptionLines(dc, layout.text, ::MulDiv(layout.rect.width, dpi, 1440), dpi),
                lines);
            ::SelectObject(dc, previous);
            ::DeleteObject(font);
        }
    }
    ::DeleteDC(dc);
    EXPECT_EQ(inkBands(control("Yobikomi")), 2) << "drawn on two lines";
    EXPECT_EQ(inkBands(control("Owari")), 1);
}

TEST_F(Win32MainWindowTest, BoxesTheUserReadsOrClicksAreInTheWindowColours)
{
    ASSERT_NE(systemColour(COLOR_WINDOW), systemColour(COLOR_BTNFACE));
    for (const char* name : { "SFolder5", "DFolder5", "DspFileName" }) {
        const Rendering shot = render(control(name));
        ASSERT_GT(shot.width, 8) << name;
        EXPECT_EQ(shot.at(shot.width / 2, shot.height / 2), systemColour(COLOR_WINDOW)) << name;
    }
}

TEST_F(Win32MainWindowTest, TheOptionBoxHoldsItsEntriesAndTheStartButtonHasTheFocus)
{
    HWND box = control("AttrStt");
    const auto& entries = forms::copyOptionEntries();
    ASSERT_EQ(::SendMessageW(box, CB_GETCOUNT, 0, 0), LRESULT(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        wchar_t text[256] = {};
        ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(narrow(text), entries[i].text);
        EXPECT_EQ(::SendMessageW(box, CB_GETITEMDATA, i, 0), LRESULT(entries[i].value));
    }
    EXPECT_EQ(::SendMessageW(box, CB_GETCURSEL, 0, 0), 1);
    GUITHREADINFO info {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetGUIThreadInfo(ui->threadId(), &info));
    EXPECT_EQ(info.hwndFocus, control("GoCopy"));
}

TEST_F(Win32MainWindowTest, RuleBoxesBrowseOnAClickAndClearOnARightClick)
{
    HWND box = control("SFolder3");
    browser.willChoose("/other");
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(box, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(textOf(box), "/other");
    ASSERT_EQ(browser.calls().size(), 1u);
    EXPECT_EQ(browser.calls()[0].prompt, texts::SourcePrompt);
    EXPECT_TRUE(ui->window().flow().state().RulesChanged);

    messages.expect(messages::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    ::SendMessageW(box, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(textOf(box), "");
}

TEST_F(Win32MainWindowTest, TheKeyboardReachesSetsAndClearsARule)
{
    HWND box = control("DFolder2");
    EXPECT_TRUE(::GetWindowLongW(box, GWL_STYLE) & WS_TABSTOP) << "Tab stops at a rule box";
    // A modal dialog takes the focus and gives it back to the window itself when it closes.
    browser.whileOpen = [&] { ::SetFocus(ui->window().handle()); };
    browser.willChoose("/other");
    ::SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(textOf(box), "/other");
    GUITHREADINFO focus {};
    focus.cbSize = sizeof focus;
    ASSERT_TRUE(::GetGUIThreadInfo(ui->threadId(), &focus));
    EXPECT_EQ(focus.hwndFocus, box) << "the focus is back on the box, so Enter opens it again";
    messages.expect(messages::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    ::SendMessageW(box, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(textOf(box), "");
}

TEST_F(Win32MainWindowTest, SaveWritesTheRowsAndReloadAsksBeforeItDropsEdits)
{
    browser.willChoose("/other");
    ::SendMessageW(control("DFolder0"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(control("DFolder0"), WM_LBUTTONUP, 0, 0);
    ui->click("Hozon");
    EXPECT_EQ(fs.fileData(RuleFile), "\"/src\",\"/other\"\r\n");

    fs.addFile(RuleFile, "\"/src\",\"/dst\"\r\n", {});
    browser.willChoose("/other");
    ::SendMessageW(control("SFolder1"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(control("SFolder1"), WM_LBUTTONUP, 0, 0);
    messages.expect(messages::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    ui->click("Yobikomi");
    EXPECT_EQ(textOf(control("DFolder0")), "/dst");
    EXPECT_EQ(textOf(control("SFolder1")), "");
    EXPECT_FALSE(ui->window().flow().state().RulesChanged);
}

TEST_F(Win32MainWindowTest, QuittingWithChangedRulesAsksToSaveThenCloses)
{
    browser.willChoose("/other");
    ::SendMessageW(control("DFolder0"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(control("DFolder0"), WM_LBUTTONUP, 0, 0);
    messages.expect(messages::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
    ui->click("Owari");
    EXPECT_TRUE(ui->closed);
    EXPECT_EQ(fs.fileData(RuleFile), "\"/src\",\"/other\"\r\n");
}

TEST_F(Win32MainWindowTest, ARunShowsItselfHoldsBackInputAndStopsFromTheCloseBox)
{
    messages.expect(messages::StopQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
    messages.expect(messages::CopyStopped, MessageButtons::Ok, MessageAnswer::Ok);
    COMBOBOXINFO combo {};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(::GetComboBoxInfo(control("AttrStt"), &combo));
    const std::string optionBefore = textOf(combo.hwndItem);
    std::string caption;
    std::string optionAtEnd;
    std::promise<void> asked;
    messages.whileShown = [&](std::string_view text) {
        if (text == messages::StopQuestion) {
            caption = textOf(ui->window().handle());
            asked.set_value();
        }
        if (text == messages::CopyStopped)
            optionAtEnd = textOf(combo.hwndItem);
    };
    // While "a.txt" is copied the user types into the option box, then presses the close box;
    // both go through the window's queue, as the user's input does.
    std::future<void> questionAsked = asked.get_future();
    fs.beforeCopy = [&](const std::string&) {
        ::PostMessageW(combo.hwndItem, WM_CHAR, L'x', 0);
        // The close box, as the title bar sends it.
        ::PostMessageW(ui->window().handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        questionAsked.wait_for(std::chrono::seconds(5));
    };
    ui->click("GoCopy");
    ASSERT_TRUE(ui->waitUntil([&] { return ui->closed.load(); }));
    EXPECT_TRUE(caption.starts_with("Rinvo Ver5 - コピー中 1/1 行 ")) << caption;
    EXPECT_EQ(optionAtEnd, optionBefore) << "typing during a run changes nothing";
    EXPECT_FALSE(fs.exists("/dst/a.txt")) << "the stop cut the copy under way short";
}

TEST_F(Win32MainWindowTest, OneClickCopiesShowsTheLastFileAndCloses)
{
    messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
    std::string shownName;
    std::string caption;
    messages.whileShown = [&](std::string_view) {
        shownName = textOf(control("DspFileName"));
        caption = textOf(ui->window().handle());
    };
    ui->click("GoCopy");
    ASSERT_TRUE(ui->waitUntil([&] { return ui->closed.load(); }));
    EXPECT_EQ(fs.fileData("/dst/a.txt"), "a");
    EXPECT_EQ(shownName, "a.txt");
    EXPECT_EQ(caption, "Rinvo Ver5") << "the end message comes under the window's own title";
}

TEST_F(Win32MainWindowTest, ScreenReadersNameEveryControlAsTheTableDoes)
{
    // Wine names a combo box after the entry it shows, whatever the name set on it; Windows
    // takes the name set.
    const bool underWine
        = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const forms::ControlLayout& layout : forms::rinvoMainForm().controls) {
        if (layout.accessibleName.empty()
            || (underWine && layout.kind == forms::ControlKind::DropDownCombo))
            continue;
        SCOPED_TRACE(layout.name);
        IAccessible* accessible = nullptr;
        ASSERT_EQ(::AccessibleObjectFromWindow(control(layout.name), OBJID_CLIENT, IID_IAccessible,
                      reinterpret_cast<void**>(&accessible)),
            S_OK);
        VARIANT self {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        // Wine reads a button's name from its text, which holds the wrapped caption's lines.
        EXPECT_EQ(name ? narrow(name) : std::string(),
            underWine && layout.kind == forms::ControlKind::Button
                ? shownCaption(layout.accessibleName)
                : layout.accessibleName);
        ::SysFreeString(name);
        accessible->Release();
    }
    ::CoUninitialize();
}

TEST(Win32InputBox, StandsWhereItsTableSaysAtTheDpiAndHandsBackTheTypedLine)
{
    std::string answer;
    std::thread asking([&] { answer = Win32InputBox().ask("新しいフォルダの名前"); });
    // The box is shown once its controls are all made.
    HWND box = nullptr;
    for (int tries = 0; tries < 250 && !(box && ::IsWindowVisible(box)); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        box = ::FindWindowW(nullptr, widen(texts::MessageTitle).c_str());
    }
    ASSERT_TRUE(box && ::IsWindowVisible(box));
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    auto pixels = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };
    const forms::FormLayout& form = forms::inputBoxForm();
    RECT client;
    ::GetClientRect(box, &client);
    EXPECT_EQ(client.right, pixels(form.clientWidth));
    // The controls follow the table's order, from the first id on.
    int id = 100;
    for (const forms::ControlLayout& layout : form.controls) {
        SCOPED_TRACE(layout.name);
        RECT r {};
        ASSERT_TRUE(::GetWindowRect(::GetDlgItem(box, id++), &r));
        ::MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, pixels(layout.rect.left));
        EXPECT_EQ(r.top, pixels(layout.rect.top));
        EXPECT_EQ(r.right - r.left, pixels(layout.rect.width));
    }
    EXPECT_EQ(textOf(::GetDlgItem(box, 100)), "新しいフォルダの名前");
    ::SendMessageW(::GetDlgItem(box, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2027"));
    ::SendMessageW(::GetDlgItem(box, 102), BM_CLICK, 0, 0);
    asking.join();
    EXPECT_EQ(answer, "2027");
}

namespace {

std::string itemText(HWND tree, HTREEITEM item)
{
    wchar_t text[256] = {};
    TVITEMW data {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 256;
    TreeView_GetItem(tree, &data);
    return narrow(text);
}

std::vector<std::string> childTexts(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> texts;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child))
        texts.push_back(itemText(tree, child));
    return texts;
}

} // namespace

TEST(Win32SelectFolderWindow, ListsTheDriveOneLevelAtATimeAndHandsBackTheChosenFolder)
{
    MemoryFileSystem fs;
    fs.addFile("/docs/a.txt", "a", {});
    fs.addFolder("/docs/2026");
    fs.addFolder("/sys", SystemAttribute);
    ScriptedMessageBox messages;
    ScriptedInputBox input;
    RinvoModule module;
    using Thread = WindowThread<SelectFolderWindow>;
    Thread ui([&](Thread& thread) {
        return std::make_unique<SelectFolderWindow>(
            SelectFolderServices { fs, messages, input, module, { "/" }, {} },
            [&thread] { thread.closed = true; });
    });
    SelectFolderWindow& window = ui.window();
    checkAgainstTable(window, forms::selectFolderForm());
    LOGFONTW heading {};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendMessageW(window.control("MIDASHI"), WM_GETFONT, 0, 0)),
        sizeof heading, &heading);
    EXPECT_EQ(heading.lfHeight, -::MulDiv(1600, window.dpi(), 7200)) << "16 points once loaded";
    HWND tree = window.control("TreeView1");
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(itemText(tree, root), "/");
    EXPECT_EQ(childTexts(tree, root), std::vector<std::string> { "docs" });

    // A click on a node's label opens it.
    HTREEITEM docs = TreeView_GetChild(tree, root);
    RECT label;
    ASSERT_TRUE(TreeView_GetItemRect(tree, docs, &label, TRUE));
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    ::PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(tree, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(ui.waitUntil([&] { return !childTexts(tree, docs).empty(); }));
    EXPECT_EQ(childTexts(tree, docs), std::vector<std::string> { "2026" });
    EXPECT_EQ(::SendMessageW(window.control("File1"), LB_GETCOUNT, 0, 0), 1);

    ui.click("KETTEI");
    EXPECT_EQ(module.SelectedFolder, "/docs");
    EXPECT_TRUE(ui.closed);
    EXPECT_EQ(messages.surprises(), "");
}
