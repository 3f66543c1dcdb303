// The folder selection window on the in-memory file system, with scripted message and input
// boxes.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/RinvoModule.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedInputBox.h"
#include "fakes/ScriptedMessageBox.h"
#include "ui/FormCheck.h"
#include "ui/SelectFolderForm.h"

using namespace rinvo;
using namespace rinvo::testing;

class SelectFolderFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MemoryFileSystem> fs;
    ScriptedMessageBox messages;
    ScriptedInputBox input;
    RinvoModule module;
    int mainWindowShown = 0;

    std::unique_ptr<SelectFolderForm> makeForm(std::vector<std::string> drives = { "/" })
    {
        auto form = std::make_unique<SelectFolderForm>(SelectFolderServices {
            *fs, messages, input, module, std::move(drives), [this] { ++mainWindowShown; } });
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        return form;
    }

    static QTreeWidgetItem* root(SelectFolderForm& form) { return form.tree()->topLevelItem(0); }

    static QTreeWidgetItem* child(QTreeWidgetItem* node, const QString& text)
    {
        for (int i = 0; i < node->childCount(); ++i) {
            if (node->child(i)->text(0) == text)
                return node->child(i);
        }
        qFatal("no node %s", qPrintable(text));
    }

    static QStringList texts(QTreeWidgetItem* node)
    {
        QStringList result;
        for (int i = 0; i < node->childCount(); ++i)
            result << node->child(i)->text(0);
        return result;
    }

    static QStringList keys(QTreeWidgetItem* node)
    {
        QStringList result;
        for (int i = 0; i < node->childCount(); ++i)
            result << node->child(i)->data(0, SelectFolderForm::KeyRole).toString();
        return result;
    }

    static int image(QTreeWidgetItem* node)
    {
        return node->data(0, SelectFolderForm::ImageRole).toInt();
    }

    static QStringList files(SelectFolderForm& form)
    {
        auto* list = form.findChild<QListWidget*>(QStringLiteral("File1"));
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    static bool filesEnabled(SelectFolderForm& form)
    {
        return form.findChild<QListWidget*>(QStringLiteral("File1"))->isEnabled();
    }

private slots:
    void init()
    {
        fs = std::make_unique<MemoryFileSystem>();
        fs->addFolder("/Tools/bin");
        fs->addFolder("/Tools/lib");
        fs->addFolder("/.hidden", HiddenAttribute);
        fs->addFolder("/sys", SystemAttribute);
        fs->addFolder("/empty");
        fs->addFile("/a.txt", "a", {});
        fs->addFile("/.h.txt", "h", {}, HiddenAttribute);
        fs->addSpecial("/pipe");
        fs->addFile("/Tools/tool.txt", "t", {});
        messages = {};
        input = {};
        module = {};
        module.copyOption = CopyOption::CopyEverything;
        mainWindowShown = 0;
    }

    void cleanup()
    {
        const std::string surprises = messages.surprises();
        QVERIFY2(surprises.empty(), surprises.c_str());
    }

    void layoutFollowsTheTwips()
    {
        auto form = makeForm();
        rinvo::testing::checkAgainstTable(*form, forms::selectFolderForm());
        QCOMPARE(form->size(), QSize(613, 492));
        QVERIFY(!form->findChild<QPushButton*>(QStringLiteral("Sinki"))->isEnabled());
        QWidget* first = form->nextInFocusChain();
        QCOMPARE(first->objectName(), QStringLiteral("Drive1"));
        QCOMPARE(first->nextInFocusChain()->objectName(), QStringLiteral("TreeView1"));
    }

    void loadFillsTheRootWithHiddenButNotSystemFolders()
    {
        auto form = makeForm();
        QCOMPARE(module.copyOption, CopyOption::SkipSystem);
        QTreeWidgetItem* top = root(*form);
        QCOMPARE(top->text(0), QStringLiteral("/"));
        QCOMPARE(top->data(0, SelectFolderForm::KeyRole).toString(), QStringLiteral("root"));
        QCOMPARE(image(top), 2);
        QVERIFY(top->isExpanded());
        QCOMPARE(texts(top),
            (QStringList {
                QStringLiteral(".hidden"), QStringLiteral("Tools"), QStringLiteral("empty") }));
        QCOMPARE(keys(top),
            (QStringList {
                QStringLiteral("n001"), QStringLiteral("n002"), QStringLiteral("n003") }));
        QCOMPARE(files(*form), (QStringList { QStringLiteral(".h.txt"), QStringLiteral("a.txt") }));
        QCOMPARE(form->selectedNode(), top);
    }

    void clickingOpensAndClosesOneLevel()
    {
        auto form = makeForm();
        QTreeWidgetItem* tools = child(root(*form), QStringLiteral("Tools"));
        form->TreeView1_NodeClick(tools);
        QCOMPARE(image(tools), 1);
        QVERIFY(tools->isExpanded());
        QCOMPARE(
            keys(tools), (QStringList { QStringLiteral("n002n001"), QStringLiteral("n002n002") }));
        QCOMPARE(files(*form), QStringList { QStringLiteral("tool.txt") });
        QVERIFY(filesEnabled(*form));
        form->TreeView1_NodeClick(tools);
        QCOMPARE(image(tools), 2);
        QVERIFY(!tools->isExpanded());
        QCOMPARE(tools->childCount(), 0);
        QVERIFY(!filesEnabled(*form));

        QTreeWidgetItem* empty = child(root(*form), QStringLiteral("empty"));
        form->TreeView1_NodeClick(empty);
        QCOMPARE(image(empty), 1);
        QVERIFY(empty->isExpanded());
        QCOMPARE(empty->childCount(), 0);
        QVERIFY(filesEnabled(*form));
    }

    void theFilterFollowsTheCopyOption_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("1") << 1 << QStringList { QStringLiteral("Tools"), QStringLiteral("empty") };
        QTest::newRow("2") << 2
                           << QStringList { QStringLiteral(".hidden"), QStringLiteral("Tools"),
                                  QStringLiteral("empty") };
        QTest::newRow("3") << 3
                           << QStringList { QStringLiteral(".hidden"), QStringLiteral("Tools"),
                                  QStringLiteral("empty"), QStringLiteral("sys") };
        QTest::newRow("other") << 7 << QStringList {};
    }

    void theFilterFollowsTheCopyOption()
    {
        QFETCH(int, option);
        QFETCH(QStringList, listed);
        auto form = makeForm();
        module.copyOption = static_cast<CopyOption>(option);
        // Closing the root removes its folders; opening it lists them again under the option.
        form->TreeView1_NodeClick(root(*form));
        QCOMPARE(root(*form)->childCount(), 0);
        form->TreeView1_NodeClick(root(*form));
        QCOMPARE(texts(root(*form)), listed);
    }

    void folderObjBuildsThePathFromTheNodes()
    {
        fs->addFolder("/data/x/y");
        auto form = makeForm({ "/data" });
        QTreeWidgetItem* x = child(root(*form), QStringLiteral("x"));
        form->TreeView1_NodeClick(x);
        QCOMPARE(form->FolderObj(child(x, QStringLiteral("y"))).value(), std::string("/data/x/y"));
        QCOMPARE(form->FolderObj(root(*form)).value(), std::string("/data"));
        auto slashForm = makeForm();
        QTreeWidgetItem* tools = child(root(*slashForm), QStringLiteral("Tools"));
        slashForm->TreeView1_NodeClick(tools);
        QCOMPARE(slashForm->FolderObj(child(tools, QStringLiteral("bin"))).value(),
            std::string("/Tools/bin"));
    }

    void acceptingBeforeAnyClickGivesTheRootAndShowsTheMainWindow()
    {
        auto form = makeForm();
        form->show();
        form->KETTEI_Click();
        QCOMPARE(module.SelectedFolder, std::string("/"));
        QCOMPARE(mainWindowShown, 1);
        QVERIFY(!form->isVisible());
    }

    void cancellingGivesEmptyTextAndNoMainWindow()
    {
        module.SelectedFolder = "/previous";
        auto form = makeForm();
        form->show();
        form->YAMERU_Click();
        QCOMPARE(module.SelectedFolder, std::string());
        QCOMPARE(mainWindowShown, 0);
        QVERIFY(!form->isVisible());
    }

    void aNewFolderClashesWhateverItsLetterCase()
    {
        module.AllowNewFolder = true;
        auto form = makeForm();
        QVERIFY(form->findChild<QPushButton*>(QStringLiteral("Sinki"))->isEnabled());
        for (const char* name : { "TOOLS", "tools" }) {
            input.willAnswer(name);
            messages.expect("同一名称のフォルダがありますので、作成出来ません。",
                MessageButtons::Ok, MessageAnswer::Ok);
            form->Sinki_Click();
        }
        QCOMPARE(input.prompts().at(0), std::string("/ の下に新規のフォルダを作成します。"));
        QTreeWidgetItem* tools = child(root(*form), QStringLiteral("Tools"));
        form->TreeView1_NodeClick(tools);
        input.willAnswer("BIN");
        messages.expect("同一名称のフォルダがありますので、作成出来ません。", MessageButtons::Ok,
            MessageAnswer::Ok);
        form->Sinki_Click();
        QCOMPARE(input.prompts().at(2), std::string("Tools の下に新規のフォルダを作成します。"));
        QVERIFY(!fs->exists("/Tools/BIN"));

        input.willAnswer("new");
        form->Sinki_Click();
        QVERIFY(fs->folderExists("/Tools/new"));
        QVERIFY(tools->isExpanded());
        QCOMPARE(texts(tools),
            (QStringList { QStringLiteral("bin"), QStringLiteral("lib"), QStringLiteral("new") }));
        form->Sinki_Click(); // cancelled: no answer scripted
        QCOMPARE(texts(tools).size(), 3);
    }

    void twoOpenFoldersOfTheSameNameBothOpen()
    {
        fs->addFolder("/a/common/x");
        fs->addFolder("/b/common/y");
        auto form = makeForm();
        for (const QString& top : { QStringLiteral("a"), QStringLiteral("b") }) {
            QTreeWidgetItem* parent = child(root(*form), top);
            form->TreeView1_NodeClick(parent);
            form->TreeView1_NodeClick(child(parent, QStringLiteral("common")));
        }
        QCOMPARE(texts(child(child(root(*form), QStringLiteral("a")), QStringLiteral("common"))),
            QStringList { QStringLiteral("x") });
        QCOMPARE(texts(child(child(root(*form), QStringLiteral("b")), QStringLiteral("common"))),
            QStringList { QStringLiteral("y") });
    }

    void anUnreachableDriveGoesBackToTheDriveShown()
    {
        auto form = makeForm({ "/", "/gone" });
        auto* drives = form->findChild<QComboBox*>(QStringLiteral("Drive1"));
        drives->setCurrentText(QStringLiteral("/gone"));
        QCOMPARE(drives->currentText(), QStringLiteral("/"));
        QCOMPARE(root(*form)->text(0), QStringLiteral("/"));
    }

    void aFolderRemovedBeforeAcceptingIsToldAndTheWindowStays()
    {
        auto form = makeForm();
        form->show();
        QTreeWidgetItem* tools = child(root(*form), QStringLiteral("Tools"));
        form->TreeView1_NodeClick(tools);
        fs->remove("/Tools");
        messages.expect("Tools\nパスが見つかりません", MessageButtons::Ok, MessageAnswer::Ok);
        form->KETTEI_Click();
        QVERIFY(form->isVisible());
        QCOMPARE(mainWindowShown, 0);
    }
};

QTEST_MAIN(SelectFolderFormTest)
#include "SelectFolderFormTest.moc"
