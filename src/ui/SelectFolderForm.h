#pragma once

#include "app/SelectFolderFlow.h"

#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace rinvo {

/// The program's own folder picker: a drive list, the drive's folders read one level at a time
/// as nodes are opened, and the files of the folder last clicked. The accepted folder's path
/// is handed back in the module's SelectedFolder.
class SelectFolderForm : public QWidget, private SelectFolderView
{
    Q_OBJECT
public:
    /// Node data: the node's key, its image number (1 open, 2 closed) and the flow's id.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;
    static constexpr int NodeRole = Qt::UserRole + 2;

    explicit SelectFolderForm(SelectFolderServices services, QWidget* parent = nullptr);

    /// Returns the path of the folder a node stands for, or the service's failure.
    FsResult<std::string> FolderObj(const QTreeWidgetItem* node) const;

    QTreeWidget* tree() const { return m_tree; }
    /// The node KETTEI and Sinki act on.
    QTreeWidgetItem* selectedNode() const { return m_items.at(m_flow.selectedNode()); }

public slots:
    void Drive1_Change();
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void Sinki_Click();
    void KETTEI_Click();
    void YAMERU_Click();

protected:
    bool event(QEvent* event) override;

private:
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
    std::optional<NodeId> nodeOf(const QTreeWidgetItem* item) const;

    SelectFolderFlow m_flow;
    QComboBox* m_drives = nullptr;
    QTreeWidget* m_tree = nullptr;
    QListWidget* m_files = nullptr;
    QPushButton* m_sinki = nullptr;
    std::map<NodeId, QTreeWidgetItem*> m_items;
};

} // namespace rinvo
