#include "FolderBrowseDialog.h"

#include "QtText.h"
#include "texts/Catalogue.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);

    selectPath(startPath);
}

void FolderBrowseDialog::selectPath(const QString& path)
{
    // A start path that does not exist leaves the dialog's own initial selection.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    const QModelIndex index = m_model->index(QFileInfo(path).absoluteFilePath());
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_tree->expand(parent);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
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
