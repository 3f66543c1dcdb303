#include "SelectFolderForm.h"

#include "FolderImages.h"
#include "Fonts.h"
#include "FormBuilder.h"
#include "QtText.h"
#include "app/FolderSelection.h"
#include "app/RinvoModule.h"
#include "platform/FileSystem.h"
#include "platform/InputBoxService.h"
#include "platform/MessageBoxService.h"
#include "platform/PathRules.h"
#include "texts/Catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace rinvo {

namespace {

QFont gothic(qreal points, FontWeight weight = FontWeight::Bold)
{
    return makeFont(GothicFace, points, weight);
}

// The root folder of the drive list's entry: "c:" names "c:\" on Windows; a mount point is
// its own root.
std::string driveRoot(const std::string& drive, PathStyle style)
{
    return style == PathStyle::Windows ? drive.substr(0, 2) + "\\" : drive;
}

std::string keyOf(const QTreeWidgetItem* node)
{
    return toUtf8(node->data(0, SelectFolderForm::KeyRole).toString());
}

// Reads a folder's entries; the service's order is by name.
FsResult<FolderListing> entriesOf(FileSystem& fs, const std::string& path)
{
    auto folder = fs.openFolder(path, FolderSide::Source);
    if (!folder)
        return folder.error();
    return (*folder)->list();
}

} // namespace

SelectFolderForm::SelectFolderForm(SelectFolderServices services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    const forms::FormSpec& form = forms::selectFolderForm();
    buildControls(this, form, setUpForm(this, form));
    m_drives = findChild<QComboBox*>(QStringLiteral("Drive1"));
    for (const std::string& drive : m_services.drives)
        m_drives->addItem(toQString(drive));
    m_tree = findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    // Nodes open and close by the click handling alone.
    m_tree->setItemsExpandable(false);
    m_tree->setExpandsOnDoubleClick(false);
    m_files = findChild<QListWidget*>(QStringLiteral("File1"));
    m_sinki = findChild<QPushButton*>(QStringLiteral("Sinki"));
    m_sinki->setEnabled(false);
    auto* accept = findChild<QPushButton*>(QStringLiteral("KETTEI"));
    auto* cancel = findChild<QPushButton*>(QStringLiteral("YAMERU"));

    connect(accept, &QPushButton::clicked, this, &SelectFolderForm::KETTEI_Click);
    connect(cancel, &QPushButton::clicked, this, &SelectFolderForm::YAMERU_Click);
    connect(m_sinki, &QPushButton::clicked, this, &SelectFolderForm::Sinki_Click);
    connect(m_tree, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); });
    Form_Load();
    connect(m_drives, &QComboBox::currentTextChanged, this, &SelectFolderForm::Drive1_Change);
}

void SelectFolderForm::Form_Load()
{
    // The first drive stands for drive C: the root on POSIX.
    m_drives->setCurrentIndex(0);
    if (m_services.module.AllowNewFolder)
        m_sinki->setEnabled(true);
    findChild<QLabel*>(QStringLiteral("MIDASHI"))->setFont(gothic(16));
    m_services.module.copyOption = CopyOption::SkipSystem;
    // NOTE: a drive that cannot be read at start is told; the window stays open with an empty tree.
    if (FsStatus failed = fillDrive(true))
        tellFailure(toUtf8(m_drives->currentText()), *failed);
}

bool SelectFolderForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        m_tree->setFocus(); // Form_Activate
    return QWidget::event(event);
}

void SelectFolderForm::tellFailure(const std::string& path, const FsError& error)
{
    m_services.messages.show(path + "\n" + describeError(error), MessageButtons::Ok);
}

QTreeWidgetItem* SelectFolderForm::addNode(
    QTreeWidgetItem* parent, const std::string& key, const std::string& text)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    node->setText(0, toQString(text));
    node->setData(0, KeyRole, toQString(key));
    setImage(node, 2);
    m_lastAddedNode = node;
    return node;
}

void SelectFolderForm::setImage(QTreeWidgetItem* node, int image)
{
    node->setData(0, ImageRole, image);
    node->setIcon(0, QIcon(folderImage(image)));
}

void SelectFolderForm::ensureVisible(QTreeWidgetItem* node)
{
    for (QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    m_tree->scrollToItem(node);
}

void SelectFolderForm::showFiles(const std::string& folder)
{
    m_files->clear();
    auto entries = entriesOf(m_services.fs, folder);
    if (!entries)
        return;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || entry.info.kind == EntryKind::Folder)
            continue;
        if ((entry.info.attributes & HiddenAttribute) && !m_showHiddenFiles)
            continue;
        if ((entry.info.attributes & SystemAttribute) && !m_showSystemFiles)
            continue;
        m_files->addItem(toQString(entry.name));
    }
}

FsStatus SelectFolderForm::fillDrive(bool setFileListSettings)
{
    const std::string drive = toUtf8(m_drives->currentText());
    auto entries = entriesOf(m_services.fs, driveRoot(drive, m_services.fs.pathStyle()));
    if (!entries)
        return entries.error();
    m_tree->clear();
    QTreeWidgetItem* root = addNode(nullptr, std::string(RootNodeKey), drive);
    m_selectedNode = root;
    if (setFileListSettings) {
        const FileListSettings settings = fileListSettingsFor(
            m_services.module.copyOption, { m_showHiddenFiles, m_showSystemFiles });
        m_showHiddenFiles = settings.showHidden;
        m_showSystemFiles = settings.showSystem;
    }
    showFiles(driveRoot(drive, m_services.fs.pathStyle()));
    int counter = 1;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || !isListedFolder(entry.info.attributes, m_services.module.copyOption))
            continue;
        addNode(root, childNodeKey(RootNodeKey, counter++), std::string(entry.name));
    }
    ensureVisible(m_lastAddedNode);
    m_shownDrive = m_drives->currentText();
    return std::nullopt;
}

void SelectFolderForm::Drive1_Change()
{
    if (m_drives->currentText() == m_shownDrive)
        return;
    FsStatus failed = fillDrive(false);
    if (!failed || failed->kind != FsErrorKind::PathNotFound)
        return;
    // A drive that cannot be reached: a beep, and the list goes back to the drive shown.
    QApplication::beep();
    m_drives->setCurrentText(m_shownDrive);
}

FsResult<std::string> SelectFolderForm::FolderObj(const QTreeWidgetItem* node) const
{
    const PathStyle style = m_services.fs.pathStyle();
    const std::string separator(1, pathSeparator(style));
    std::string path = toUtf8(node->text(0));
    for (const QTreeWidgetItem* above = node->parent(); above; above = above->parent()) {
        const std::string text = toUtf8(above->text(0));
        path = above->parent() ? text + separator + path
                               : joinPath(driveRoot(text, style), path, style);
    }
    if (!node->parent())
        path = driveRoot(path, style);
    if (!m_services.fs.folderExists(path))
        return FsError { FsErrorKind::PathNotFound, "no such folder" };
    return path;
}

void SelectFolderForm::TreeView1_NodeClick(QTreeWidgetItem* node)
{
    // Any failure ends the handling where it occurs; the steps before keep their effect.
    const FsResult<std::string> folder = FolderObj(node);
    if (!folder)
        return;
    m_selectedNode = node;
    showFiles(*folder);
    const std::string key = keyOf(node);
    if (node->isExpanded()) {
        node->setExpanded(false);
        setImage(node, 2);
        // Exactly the node's own children go, by their keys.
        const int children = node->childCount();
        for (int i = 1; i <= children; ++i) {
            const QString childKey = toQString(childNodeKey(key, i));
            QTreeWidgetItem* child = nullptr;
            for (int c = 0; c < node->childCount() && !child; ++c) {
                if (node->child(c)->data(0, KeyRole).toString() == childKey)
                    child = node->child(c);
            }
            if (!child)
                return;
            delete child;
        }
        m_files->setEnabled(false);
        return;
    }
    setImage(node, 1);
    m_files->setEnabled(true);
    auto entries = entriesOf(m_services.fs, *folder);
    if (!entries)
        return;
    int counter = 1;
    QTreeWidgetItem* lastAdded = nullptr;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || !isListedFolder(entry.info.attributes, m_services.module.copyOption))
            continue;
        lastAdded = addNode(node, childNodeKey(key, counter++), std::string(entry.name));
    }
    if (lastAdded)
        ensureVisible(lastAdded);
    node->setExpanded(true);
}

void SelectFolderForm::Sinki_Click()
{
    const FsResult<std::string> folder = FolderObj(m_selectedNode);
    if (!folder) {
        tellFailure(toUtf8(m_selectedNode->text(0)), folder.error());
        return;
    }
    const std::string answer
        = m_services.input.ask(messages::newFolderPrompt(toUtf8(m_selectedNode->text(0))));
    if (answer.empty())
        return;
    const std::string newPath = joinPath(*folder, answer, m_services.fs.pathStyle());
    std::vector<std::string> existing;
    if (auto entries = entriesOf(m_services.fs, *folder)) {
        for (const FolderEntry& entry : *entries) {
            if (!entry.error && entry.info.kind == EntryKind::Folder)
                existing.push_back(joinPath(*folder, entry.name, m_services.fs.pathStyle()));
        }
    }
    if (clashesWithExisting(existing, newPath)) {
        m_services.messages.show(messages::FolderClash, MessageButtons::Ok);
        return;
    }
    if (FsStatus failed = m_services.fs.createFolder(newPath)) {
        tellFailure(newPath, *failed);
        return;
    }
    // Closing and opening again (or opening and closing) reads the subfolders afresh.
    QTreeWidgetItem* node = m_selectedNode;
    TreeView1_NodeClick(node);
    TreeView1_NodeClick(node);
}

void SelectFolderForm::KETTEI_Click()
{
    const FsResult<std::string> folder = FolderObj(m_selectedNode);
    if (!folder) {
        // NOTE: a folder removed meanwhile is told, and the window stays for another choice.
        tellFailure(toUtf8(m_selectedNode->text(0)), folder.error());
        return;
    }
    m_services.module.SelectedFolder = *folder;
    close();
    if (m_services.showMainWindow)
        m_services.showMainWindow();
}

void SelectFolderForm::YAMERU_Click()
{
    m_services.module.SelectedFolder.clear();
    close();
}

} // namespace rinvo
