#pragma once

#include "FormWindow.h"
#include "app/SelectFolderFlow.h"

#include <map>

#include <commctrl.h>

namespace rinvo::win32 {

/// The folder selection window drawn with Win32: a drive list, the folder tree with its two
/// folder images, the file list; the flow's behaviour.
class SelectFolderWindow final : public FormWindow, private SelectFolderView
{
public:
    /// Makes and shows the window; 'closed' runs once it is gone.
    SelectFolderWindow(SelectFolderServices services, std::function<void()> closed = {});
    ~SelectFolderWindow() override;

    const SelectFolderFlow& flow() const { return m_flow; }
    /// Returns the tree item of a node, or null.
    HTREEITEM itemOf(NodeId node) const;

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void destroyed() override;
    static LRESULT CALLBACK treeProc(
        HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);

    std::string shownDrive() override;
    void setShownDrive(const std::string& drive) override;
    void clearTree() override;
    void addNode(std::optional<NodeId> parent, NodeId node, const std::string& key,
        const std::string& text) override;
    void removeNode(NodeId node) override;
    void setNodeImage(NodeId node, FolderImage image) override;
    void setNodeExpanded(NodeId node, bool expanded) override;
    void ensureVisible(NodeId node) override;
    void showFiles(const std::vector<std::string>& names) override;
    void setFilesEnabled(bool enabled) override;
    void setNewFolderEnabled(bool enabled) override;
    void beep() override;
    void closeWindow() override;

    SelectFolderFlow m_flow;
    std::function<void()> m_closed;
    HWND m_drives = nullptr;
    HWND m_tree = nullptr;
    HWND m_files = nullptr;
    HIMAGELIST m_images = nullptr;
    std::map<NodeId, HTREEITEM> m_items;
    // Set while the flow opens or closes a node, which the tree may then do.
    bool m_flowExpands = false;
};

} // namespace rinvo::win32
