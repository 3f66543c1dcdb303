#pragma once

#include "platform/FsError.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

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

/// The program's own folder picker: a drive list, the drive's folders read one level at a time
/// as nodes are opened, and the files of the folder last clicked. The accepted folder's path
/// is handed back in the module's SelectedFolder.
class SelectFolderForm : public QWidget
{
    Q_OBJECT
public:
    /// Node data: the node's key and its image number (1 open, 2 closed).
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;

    explicit SelectFolderForm(SelectFolderServices services, QWidget* parent = nullptr);

    /// Returns the path of the folder a node stands for, or the service's failure.
    FsResult<std::string> FolderObj(const QTreeWidgetItem* node) const;

    QTreeWidget* tree() const { return m_tree; }
    /// The node KETTEI and Sinki act on.
    QTreeWidgetItem* selectedNode() const { return m_selectedNode; }

public slots:
    void Drive1_Change();
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void Sinki_Click();
    void KETTEI_Click();
    void YAMERU_Click();

protected:
    bool event(QEvent* event) override;

private:
    void Form_Load();
    FsStatus fillDrive(bool setFileListSettings);
    QTreeWidgetItem* addNode(
        QTreeWidgetItem* parent, const std::string& key, const std::string& text);
    void setImage(QTreeWidgetItem* node, int image);
    void showFiles(const std::string& folder);
    void ensureVisible(QTreeWidgetItem* node);
    void tellFailure(const std::string& path, const FsError& error);

    SelectFolderServices m_services;
    QComboBox* m_drives = nullptr;
    QTreeWidget* m_tree = nullptr;
    QListWidget* m_files = nullptr;
    QPushButton* m_sinki = nullptr;
    QTreeWidgetItem* m_selectedNode = nullptr;
    QTreeWidgetItem* m_lastAddedNode = nullptr;
    QString m_shownDrive;
    bool m_showHiddenFiles = true;
    bool m_showSystemFiles = false;
};

} // namespace rinvo
