#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "support/TempFolder.h"
#include "ui/FolderBrowseDialog.h"

using namespace rinvo;
using namespace rinvo::testing;

class FolderBrowseDialogTest : public QObject
{
    Q_OBJECT

private:
    static QStringList shownNames(FolderBrowseDialog& dialog, const QString& folder)
    {
        auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("Tree"));
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        const QModelIndex parent = model->index(folder);
        if (model->canFetchMore(parent))
            model->fetchMore(parent);
        QStringList names;
        for (int row = 0; row < model->rowCount(parent); ++row)
            names << model->fileName(model->index(row, 0, parent));
        names.sort();
        return names;
    }

private slots:
    void opensAtTheStartPathWithPromptFilesAndHiddenEntries()
    {
        TempFolder temp;
        writeFile(temp / "data/.hidden/inner.txt", "x");
        writeFile(temp / "data/report.txt", "x");
        makeFolders(temp / "data/sub");
        const QString data = QString::fromStdString(temp / "data");
        FolderBrowseDialog dialog(
            QStringLiteral("コピー元フォルダを選択して下さい。"), data, nullptr);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Prompt"))->text(),
            QStringLiteral("コピー元フォルダを選択して下さい。"));
        QCOMPARE(dialog.selectedPath(), data);
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("Ok"))->isEnabled());
        QTRY_COMPARE(shownNames(dialog, data),
            (QStringList {
                QStringLiteral(".hidden"), QStringLiteral("report.txt"), QStringLiteral("sub") }));
    }

    void aMissingOrEmptyStartPathMakesTheHomeFolderTheCurrentItem()
    {
        FolderBrowseDialog empty(QStringLiteral("p"), QString(), nullptr);
        empty.show();
        // The tree taking the focus keeps the home folder current; Enter chooses it, never "/".
        auto* tree = empty.findChild<QTreeView*>(QStringLiteral("Tree"));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(empty.selectedPath(), QDir::homePath());
        QVERIFY(empty.findChild<QPushButton*>(QStringLiteral("Ok"))->isEnabled());
        // The places to back up to stand beside the tree.
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        QCOMPARE(tree->currentIndex(), model->index(QDir::homePath()));
        const QStringList places = FolderBrowseDialog::places();
        QCOMPARE(places.mid(0, 2), (QStringList { QDir::homePath(), QDir::rootPath() }));
        QCOMPARE(empty.findChild<QListWidget*>(QStringLiteral("Places"))->count(), places.size());
        FolderBrowseDialog missing(
            QStringLiteral("p"), QStringLiteral("/no/such/folder/here"), nullptr);
        QCOMPARE(missing.selectedPath(), QDir::homePath());
    }

    void makesANewFolderInTheSelectedFolder()
    {
        TempFolder temp;
        makeFolders(temp / "data");
        writeFile(temp / "data/report.txt", "x");
        const QString report = QString::fromStdString(temp / "data/report.txt");
        // With a file selected, the folder goes beside it; a name in use gets a number.
        FolderBrowseDialog first(QStringLiteral("p"), report, nullptr);
        first.makeNewFolder();
        QVERIFY(QFileInfo(QString::fromStdString(temp / "data/新しいフォルダー")).isDir());
        FolderBrowseDialog second(QStringLiteral("p"), report, nullptr);
        second.makeNewFolder();
        QCOMPARE(second.selectedPath(), QString::fromStdString(temp / "data/新しいフォルダー (2)"));
        // With a folder selected, the new one goes inside it.
        second.makeNewFolder();
        QVERIFY(
            QFileInfo(QString::fromStdString(temp / "data/新しいフォルダー (2)/新しいフォルダー"))
                .isDir());
    }
};

QTEST_MAIN(FolderBrowseDialogTest)
#include "FolderBrowseDialogTest.moc"
