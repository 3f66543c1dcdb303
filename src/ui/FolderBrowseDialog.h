#pragma once

#include <QDialog>

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace rinvo {

/// The folder-browse dialog of the rule boxes on desktops without the Windows shell dialog: the
/// whole file system as a tree, files beside folders and hidden entries shown, opened with the
/// start path selected and in view, and a button that makes a new folder.
class FolderBrowseDialog : public QDialog
{
    Q_OBJECT
public:
    FolderBrowseDialog(const QString& prompt, const QString& startPath, QWidget* owner);

    /// Returns the selected file or folder's full path, or empty text when nothing is selected.
    QString selectedPath() const;

public slots:
    /// Makes a new folder in the selected folder (or beside the selected file) and selects it
    /// for renaming.
    void makeNewFolder();

private:
    void selectPath(const QString& path);

    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QPushButton* m_ok;
};

} // namespace rinvo
