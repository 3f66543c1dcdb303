#include "SelectFolderForm.h"

#include "FolderImages.h"
#include "Fonts.h"
#include "FormBuilder.h"
#include "QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace rinvo {

SelectFolderForm::SelectFolderForm(SelectFolderServices services, QWidget* parent)
    : QWidget(parent)
    , m_flow(services, *this)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const forms::FormLayout& form = forms::selectFolderForm();
    buildControls(this, form, setUpForm(this, form));
    m_drives = findChild<QComboBox*>(QStringLiteral("Drive1"));
    for (const std::string& drive : services.drives)
        m_drives->addItem(toQString(drive));
    m_tree = findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    // Nodes open and close by the click handling alone.
    m_tree->setItemsExpandable(false);
    m_tree->setExpandsOnDoubleClick(false);
    m_files = findChild<QListWidget*>(QStringLiteral("File1"));
    m_sinki = findChild<QPushButton*>(QStringLiteral("Sinki"));
    m_sinki->setEnabled(false);

    connect(findChild<QPushButton*>(QStringLiteral("KETTEI")), &QPushButton::clicked, this,
        &SelectFolderForm::KETTEI_Click);
    connect(findChild<QPushButton*>(QStringLiteral("YAMERU")), &QPushButton::clicked, this,
        &SelectFolderForm::YAMERU_Click);
    connect(m_sinki, &QPushButton::clicked, this, &SelectFolderForm::Sinki_Click);
    connect(m_tree, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); });
    m_flow.Form_Load();
    connect(m_drives, &QComboBox::currentTextChanged, this, &SelectFolderForm::Drive1_Change);
}

bool SelectFolderForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        m_tree->setFocus(); // Form_Activate
    return QWidget::event(event);
}

std::optional<NodeId> SelectFolderForm::nodeOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return std::nullopt;
    return item->data(0, NodeRole).toInt();
}

FsResult<std::string> SelectFolderForm::FolderObj(const QTreeWidgetItem* node) const
{
    return m_flow.FolderObj(*nodeOf(node));
}

std::string SelectFolderForm::shownDrive()
{
    return toUtf8(m_drives->currentText());
}

void SelectFolderForm::setShownDrive(const std::string& drive)
{
    m_drives->setCurrentText(toQString(drive));
}

void SelectFolderForm::clearTree()
{
    m_tree->clear();
    m_items.clear();
}

void SelectFolderForm::addNode(
    std::optional<NodeId> parent, NodeId node, const std::string& key, const std::string& text)
{
    auto* item = parent ? new QTreeWidgetItem(m_items.at(*parent)) : new QTreeWidgetItem(m_tree);
    item->setText(0, toQString(text));
    item->setData(0, KeyRole, toQString(key));
    item->setData(0, NodeRole, node);
    m_items[node] = item;
}

void SelectFolderForm::removeNode(NodeId node)
{
    delete m_items.at(node);
    m_items.erase(node);
}

void SelectFolderForm::setNodeImage(NodeId node, FolderImage image)
{
    QTreeWidgetItem* item = m_items.at(node);
    item->setData(0, ImageRole, static_cast<int>(image));
    item->setIcon(0, QIcon(folderImage(static_cast<int>(image))));
}

void SelectFolderForm::setNodeExpanded(NodeId node, bool expanded)
{
    m_items.at(node)->setExpanded(expanded);
}

void SelectFolderForm::ensureVisible(NodeId node)
{
    QTreeWidgetItem* item = m_items.at(node);
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    m_tree->scrollToItem(item);
}

void SelectFolderForm::showFiles(const std::vector<std::string>& names)
{
    m_files->clear();
    for (const std::string& name : names)
        m_files->addItem(toQString(name));
}

void SelectFolderForm::setFilesEnabled(bool enabled)
{
    m_files->setEnabled(enabled);
}

void SelectFolderForm::setNewFolderEnabled(bool enabled)
{
    m_sinki->setEnabled(enabled);
}

void SelectFolderForm::beep()
{
    QApplication::beep();
}

void SelectFolderForm::closeWindow()
{
    close();
}

void SelectFolderForm::Drive1_Change()
{
    m_flow.Drive1_Change();
}

void SelectFolderForm::TreeView1_NodeClick(QTreeWidgetItem* node)
{
    if (const std::optional<NodeId> id = nodeOf(node))
        m_flow.TreeView1_NodeClick(*id);
}

void SelectFolderForm::Sinki_Click()
{
    m_flow.Sinki_Click();
}

void SelectFolderForm::KETTEI_Click()
{
    m_flow.KETTEI_Click();
}

void SelectFolderForm::YAMERU_Click()
{
    m_flow.YAMERU_Click();
}

} // namespace rinvo
