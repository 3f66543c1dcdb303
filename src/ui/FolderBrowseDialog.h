#pragma once

#include <QDialog>
#include <QFileIconProvider>
#include <QStringList>

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace rinvo {

/// The folder-browse dialog of the rule boxes on desktops without the Windows shell dialog: the
/// whole file system as a tree, files beside folders and hidden entries shown, opened with the
/// start path selected and in view (an empty one at the home folder), the places a user backs
/// up to one click away, and a button that makes a new folder.
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

    /// Returns the places offered beside the tree: the home folder, the root, and the mounted
    /// drives under /media/$USER, /run/media/$USER and /mnt.
    static QStringList places();

private:
    // Makes the path the current item and brings it into view; false when it is not there.
    bool selectPath(const QString& path);
    void showFolder(const QString& path);

    QFileIconProvider m_iconProvider;
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QPushButton* m_ok;
    // The path the dialog opened at, scrolled into view again once its folder has loaded.
    QString m_shownPath;
};

} // namespace rinvo
