#pragma once

#include "platform/FsError.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rinvo {

class FileSystem;
class InputBoxService;
class MessageBoxService;
struct RinvoModule;

/// What the folder selection window works with; tests hand in fakes.
struct SelectFolderServices
{
    FileSystem& fs;
    MessageBoxService& messages;
    InputBoxService& input;
    RinvoModule& module;
    /// The drive list's entries: mount points on POSIX, root first.
    std::vector<std::string> drives;
    /// Shows the main window after a folder was accepted.
    std::function<void()> showMainWindow;
};

/// A node of the folder tree, named by the flow; the view keeps its own control for each.
using NodeId = int;

/// The images a node shows: an open and a closed folder.
enum class FolderImage { Open = 1, Closed = 2 };

/// What a toolkit's folder selection window does for the flow.
class SelectFolderView
{
public:
    virtual ~SelectFolderView() = default;
    /// Returns the text the drive list shows, and sets it.
    virtual std::string shownDrive() = 0;
    virtual void setShownDrive(const std::string& drive) = 0;
    virtual void clearTree() = 0;
    /// Adds a node under its parent (none for the root), with the key the tree is known by.
    virtual void addNode(
        std::optional<NodeId> parent, NodeId node, const std::string& key, const std::string& text)
        = 0;
    virtual void removeNode(NodeId node) = 0;
    virtual void setNodeImage(NodeId node, FolderImage image) = 0;
    virtual void setNodeExpanded(NodeId node, bool expanded) = 0;
    /// Opens the node's ancestors and scrolls the node into view.
    virtual void ensureVisible(NodeId node) = 0;
    virtual void showFiles(const std::vector<std::string>& names) = 0;
    virtual void setFilesEnabled(bool enabled) = 0;
    virtual void setNewFolderEnabled(bool enabled) = 0;
    virtual void beep() = 0;
    virtual void closeWindow() = 0;
};

/// The folder selection window's behaviour, free of any toolkit: the drive's folders read one
/// level at a time as nodes are clicked open, the files of the folder last clicked, a new
/// folder under it, and the accepted folder handed back in the module's SelectedFolder.
class SelectFolderFlow
{
public:
    SelectFolderFlow(SelectFolderServices services, SelectFolderView& view);

    void Form_Load();
    void Drive1_Change();
    void TreeView1_NodeClick(NodeId node);
    void Sinki_Click();
    void KETTEI_Click();
    void YAMERU_Click();

    /// Returns the path of the folder a node stands for, or the service's failure.
    FsResult<std::string> FolderObj(NodeId node) const;
    /// The node KETTEI and Sinki act on.
    NodeId selectedNode() const { return m_selectedNode; }
    bool isExpanded(NodeId node) const { return m_nodes.at(node).expanded; }
    FolderImage image(NodeId node) const { return m_nodes.at(node).image; }

private:
    struct Node
    {
        std::optional<NodeId> parent;
        std::string key;
        std::string text;
        bool expanded = false;
        FolderImage image = FolderImage::Closed;
        std::vector<NodeId> children;
    };

    FsStatus fillDrive(bool setFileListSettings);
    NodeId addNode(std::optional<NodeId> parent, const std::string& key, const std::string& text);
    void removeNode(NodeId node);
    void ensureVisible(NodeId node);
    void setImage(NodeId node, FolderImage image);
    void showFiles(const std::string& folder);
    void tellFailure(const std::string& path, const FsError& error);

    SelectFolderServices m_services;
    SelectFolderView& m_view;
    std::vector<Node> m_nodes;
    NodeId m_selectedNode = 0;
    std::string m_shownDrive;
    bool m_showHiddenFiles = true;
    bool m_showSystemFiles = false;
};

} // namespace rinvo
