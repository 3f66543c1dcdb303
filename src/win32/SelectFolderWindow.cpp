#include "SelectFolderWindow.h"

#include "Wide.h"

#include <shellapi.h>

namespace rinvo::win32 {

namespace {

// The shell's closed and open folder icons, in the order of the flow's images.
HIMAGELIST makeFolderImages()
{
    HIMAGELIST images = ::ImageList_Create(::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 2, 0);
    for (int index : { 4, 3 }) {
        HICON icon = nullptr;
        ::ExtractIconExW(L"shell32.dll", index, nullptr, &icon, 1);
        ::ImageList_AddIcon(images, icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION));
        if (icon)
            ::DestroyIcon(icon);
    }
    return images;
}

} // namespace

SelectFolderWindow::SelectFolderWindow(SelectFolderServices services, std::function<void()> closed)
    : m_flow(services, *this)
    , m_closed(std::move(closed))
{
    create(forms::selectFolderForm(), WS_OVERLAPPEDWINDOW, nullptr);
    m_drives = control("Drive1");
    m_tree = control("TreeView1");
    m_files = control("File1");
    for (const std::string& drive : services.drives)
        ::SendMessageW(m_drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(drive).c_str()));
    m_images = makeFolderImages();
    TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
    ::SetWindowSubclass(
        m_tree, &SelectFolderWindow::treeProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ::EnableWindow(control("Sinki"), FALSE);
    m_flow.Form_Load();
    ::ShowWindow(handle(), SW_SHOWNORMAL);
    ::SetFocus(m_tree);
}

SelectFolderWindow::~SelectFolderWindow()
{
    if (m_images)
        ::ImageList_Destroy(m_images);
}

LRESULT CALLBACK SelectFolderWindow::treeProc(
    HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (message != WM_LBUTTONDOWN)
        return ::DefSubclassProc(tree, message, wParam, lParam);
    // A click on a node's label or image is the node's click; the tree's own handling (which
    // may wait for the button to come up) runs first.
    TVHITTESTINFO hit {};
    hit.pt = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    HTREEITEM item = TreeView_HitTest(tree, &hit);
    const LRESULT result = ::DefSubclassProc(tree, message, wParam, lParam);
    if (item && (hit.flags & TVHT_ONITEM)) {
        TVITEMW data {};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        TreeView_GetItem(tree, &data);
        reinterpret_cast<SelectFolderWindow*>(self)->m_flow.TreeView1_NodeClick(
            static_cast<NodeId>(data.lParam));
    }
    return result;
}

HTREEITEM SelectFolderWindow::itemOf(NodeId node) const
{
    auto found = m_items.find(node);
    return found == m_items.end() ? nullptr : found->second;
}

LRESULT SelectFolderWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const std::string name = nameOf(reinterpret_cast<HWND>(lParam));
        const int code = HIWORD(wParam);
        if (name == "Drive1" && code == CBN_SELCHANGE)
            m_flow.Drive1_Change();
        else if (code == BN_CLICKED && name == "KETTEI")
            m_flow.KETTEI_Click();
        else if (code == BN_CLICKED && name == "YAMERU")
            m_flow.YAMERU_Click();
        else if (code == BN_CLICKED && name == "Sinki")
            m_flow.Sinki_Click();
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != m_tree)
            break;
        if (header->code == TVN_ITEMEXPANDINGW)
            return m_flowExpands ? FALSE : TRUE; // Nodes open and close by a click alone.
        break;
    }
    default:
        break;
    }
    return FormWindow::handleMessage(message, wParam, lParam);
}

void SelectFolderWindow::destroyed()
{
    if (m_closed)
        m_closed();
}

std::string SelectFolderWindow::shownDrive()
{
    return windowText(m_drives);
}

void SelectFolderWindow::setShownDrive(const std::string& drive)
{
    const LRESULT index = ::SendMessageW(m_drives, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
        reinterpret_cast<LPARAM>(widen(drive).c_str()));
    ::SendMessageW(m_drives, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SelectFolderWindow::clearTree()
{
    TreeView_DeleteAllItems(m_tree);
    m_items.clear();
}

void SelectFolderWindow::addNode(
    std::optional<NodeId> parent, NodeId node, const std::string&, const std::string& text)
{
    const std::wstring wide = widen(text);
    TVINSERTSTRUCTW insert {};
    insert.hParent = parent ? m_items.at(*parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(wide.c_str());
    insert.item.lParam = node;
    m_items[node] = TreeView_InsertItem(m_tree, &insert);
}

void SelectFolderWindow::removeNode(NodeId node)
{
    TreeView_DeleteItem(m_tree, m_items.at(node));
    m_items.erase(node);
}

void SelectFolderWindow::setNodeImage(NodeId node, FolderImage image)
{
    TVITEMW item {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = m_items.at(node);
    item.iImage = item.iSelectedImage = static_cast<int>(image) - 1;
    TreeView_SetItem(m_tree, &item);
}

void SelectFolderWindow::setNodeExpanded(NodeId node, bool expanded)
{
    m_flowExpands = true;
    TreeView_Expand(m_tree, m_items.at(node), expanded ? TVE_EXPAND : TVE_COLLAPSE);
    m_flowExpands = false;
}

void SelectFolderWindow::ensureVisible(NodeId node)
{
    m_flowExpands = true;
    TreeView_EnsureVisible(m_tree, m_items.at(node));
    m_flowExpands = false;
}

void SelectFolderWindow::showFiles(const std::vector<std::string>& names)
{
    ::SendMessageW(m_files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        ::SendMessageW(m_files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
}

void SelectFolderWindow::setFilesEnabled(bool enabled)
{
    ::EnableWindow(m_files, enabled);
}

void SelectFolderWindow::setNewFolderEnabled(bool enabled)
{
    ::EnableWindow(control("Sinki"), enabled);
}

void SelectFolderWindow::beep()
{
    ::MessageBeep(MB_OK);
}

void SelectFolderWindow::closeWindow()
{
    ::DestroyWindow(handle());
}

} // namespace rinvo::win32
