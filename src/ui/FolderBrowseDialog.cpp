#include "FolderBrowseDialog.h"

#include "QtText.h"
#include "texts/Catalogue.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace rinvo {

FolderBrowseDialog::FolderBrowseDialog(
    const QString& prompt, const QString& startPath, QWidget* owner)
    : QDialog(owner)
    , m_model(new QFileSystemModel(this))
    , m_tree(new QTreeView(this))
{
    setObjectName(QStringLiteral("FolderBrowseDialog"));
    setWindowTitle(toQString(texts::BrowseCaption));
    setModal(true);
    resize(420, 460);

    auto* promptLabel = new QLabel(prompt, this);
    promptLabel->setObjectName(QStringLiteral("Prompt"));
    promptLabel->setWordWrap(true);

    m_model->setRootPath(QDir::rootPath());
    // Folders and files look different, whatever icon theme the desktop has.
    m_model->setIconProvider(&m_iconProvider);
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    m_model->setReadOnly(false);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_tree->setAccessibleName(prompt);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);

    auto* buttons = new QDialogButtonBox(this);
    auto* newFolder = buttons->addButton(
        toQString(texts::BrowseNewFolderCommand), QDialogButtonBox::ActionRole);
    newFolder->setObjectName(QStringLiteral("NewFolder"));
    m_ok = buttons->addButton(toQString(texts::OkCommand), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("Ok"));
    buttons->addButton(toQString(texts::CancelCommand), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Cancel"));
    connect(newFolder, &QPushButton::clicked, this, &FolderBrowseDialog::makeNewFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) { m_ok->setEnabled(current.isValid()); });
    m_ok->setEnabled(false);

    // The places a backup goes to, beside the tree: a click shows that folder.
    auto* placeList = new QListWidget(this);
    placeList->setObjectName(QStringLiteral("Places"));
    const QFileIconProvider icons;
    for (const QString& place : places())
        placeList->addItem(new QListWidgetItem(icons.icon(QFileInfo(place)), place));
    placeList->setMaximumWidth(150);
    connect(placeList, &QListWidget::itemClicked, this,
        [this](QListWidgetItem* item) { showFolder(item->text()); });

    // The tree fills in as folders load; the path the dialog opened at is brought into view
    // again once its folder is there.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        if (!m_shownPath.isEmpty() && QFileInfo(m_shownPath).absolutePath() == folder)
            m_tree->scrollTo(m_model->index(m_shownPath), QAbstractItemView::PositionAtCenter);
    });

    auto* middle = new QHBoxLayout;
    middle->addWidget(placeList);
    middle->addWidget(m_tree, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);

    // NOTE: an empty or missing start path opens at the home folder, as the shell's dialog opens
    // at the desktop, and makes it the current item: a tree without one would take its first
    // row, the root, as soon as it has the focus, and Enter would choose "/".
    if (!selectPath(startPath))
        selectPath(QDir::homePath());
}

QStringList FolderBrowseDialog::places()
{
    QStringList found { QDir::homePath(), QDir::rootPath() };
    const QString user = qEnvironmentVariable("USER");
    QStringList mountFolders { QStringLiteral("/mnt") };
    if (!user.isEmpty())
        mountFolders = QStringList { QStringLiteral("/media/") + user,
            QStringLiteral("/run/media/") + user, QStringLiteral("/mnt") };
    for (const QString& folder : mountFolders) {
        for (const QFileInfo& drive :
            QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            found << drive.absoluteFilePath();
    }
    return found;
}

void FolderBrowseDialog::showFolder(const QString& path)
{
    const QModelIndex index = m_model->index(path);
    if (!index.isValid())
        return;
    for (QModelIndex parent = index; parent.isValid(); parent = parent.parent())
        m_tree->expand(parent);
    m_shownPath = path;
    m_tree->scrollTo(index, QAbstractItemView::PositionAtTop);
}

bool FolderBrowseDialog::selectPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const QModelIndex index = m_model->index(QFileInfo(path).absoluteFilePath());
    if (!index.isValid())
        return false;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_tree->expand(parent);
    m_tree->setCurrentIndex(index);
    m_shownPath = QFileInfo(path).absoluteFilePath();
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

QString FolderBrowseDialog::selectedPath() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void FolderBrowseDialog::makeNewFolder()
{
    QModelIndex parent = m_tree->currentIndex();
    if (parent.isValid() && !m_model->isDir(parent))
        parent = parent.parent();
    if (!parent.isValid())
        return;
    const QString base = toQString(texts::BrowseNewFolderName);
    QString name = base;
    const QDir folder(m_model->filePath(parent));
    for (int n = 2; folder.exists(name); ++n)
        name = base + QStringLiteral(" (%1)").arg(n);
    const QModelIndex made = m_model->mkdir(parent, name);
    if (!made.isValid())
        return;
    m_tree->expand(parent);
    m_tree->setCurrentIndex(made);
    m_tree->edit(made);
}

} // namespace rinvo
