// The settings commands and rule editing driven through the main window, with a scripted
// message box and folder-browse dialog and the rule file in a temporary folder.

#include "texts/Catalogue.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

class RuleCommandsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowHarness> h;

    void click(RinvoMain& window, const char* button)
    {
        QTest::mouseClick(
            window.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }

    static QString text(RuleBox* box) { return box->toPlainText(); }

    void verifyScriptDone()
    {
        const std::string surprises = h->messages.surprises();
        QVERIFY2(surprises.empty(), surprises.c_str());
    }

    // Sets a row through the browse dialog, as a user does.
    void chooseRow(
        RinvoMain& window, int row, const std::string& source, const std::string& destination)
    {
        h->browser.willChoose(source);
        QTest::mouseClick(window.sourceBox(row)->viewport(), Qt::LeftButton);
        h->browser.willChoose(destination);
        QTest::mouseClick(window.destinationBox(row)->viewport(), Qt::LeftButton);
    }

private slots:
    void init()
    {
        h = std::make_unique<WindowHarness>();
        makeFolders(h->temp / "data");
        makeFolders(h->temp / "backup");
        writeFile(h->temp / "data/report.txt", "x");
    }

    void cleanup()
    {
        verifyScriptDone();
        h.reset();
    }

    void startsWithEmptyRowsAndTheDefaultOptionWhenThereIsNoFile()
    {
        RinvoMain window(h->services());
        QVERIFY(!window.rulesChanged());
        QCOMPARE(h->module.copyOption, CopyOption::SkipSystem);
        for (int i = 0; i < RinvoMain::RuleRows; ++i)
            QVERIFY(
                text(window.sourceBox(i)).isEmpty() && text(window.destinationBox(i)).isEmpty());
        QVERIFY(h->messages.shown().empty());
    }

    void startsWithTheSavedRules()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n\"/c\",\"/d\"\r\n");
        RinvoMain window(h->services());
        QCOMPARE(text(window.sourceBox(1)), QStringLiteral("/c"));
        QCOMPARE(text(window.destinationBox(1)), QStringLiteral("/d"));
        QVERIFY(!window.rulesChanged());
    }

    void browsingSetsTheBoxAndRaisesRulesChanged()
    {
        RinvoMain window(h->services());
        chooseRow(window, 3, h->temp / "data", h->temp / "backup");
        QCOMPARE(text(window.sourceBox(3)), QString::fromStdString(h->temp / "data"));
        QCOMPARE(text(window.destinationBox(3)), QString::fromStdString(h->temp / "backup"));
        QVERIFY(window.rulesChanged());
        QCOMPARE(
            h->browser.calls().at(0).prompt, std::string("コピー元フォルダを選択して下さい。"));
        QCOMPARE(
            h->browser.calls().at(1).prompt, std::string("コピー先フォルダを選択して下さい。"));
        QCOMPARE(h->module.BrowseStartPath, std::string());
        QCOMPARE(h->module.SelectedFolder, h->temp / "backup");
    }

    void browsingStartsAtTheBoxsPathAndCancelChangesNothing()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QCOMPARE(h->browser.calls().at(0).startPath, std::string("/a"));
        QCOMPARE(h->module.BrowseStartPath, std::string("/a"));
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        QVERIFY(!window.rulesChanged());
    }

    void choosingTheSamePathStillCountsAsAChange()
    {
        writeFile(h->ruleFile, "\"" + h->temp / "data" + "\",\"/b\"\r\n");
        RinvoMain window(h->services());
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QVERIFY(window.rulesChanged());
    }

    void aFileIsASourceButNeverADestination()
    {
        RinvoMain window(h->services());
        h->browser.willChoose(h->temp / "data/report.txt");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QCOMPARE(text(window.sourceBox(0)), QString::fromStdString(h->temp / "data/report.txt"));

        h->messages.expect(msg::DestinationIsFile, MessageButtons::Ok, MessageAnswer::Ok);
        h->browser.willChoose(h->temp / "data/report.txt");
        QTest::mouseClick(window.destinationBox(0)->viewport(), Qt::LeftButton);
        QVERIFY(text(window.destinationBox(0)).isEmpty());
    }

    void aPathThatIsNothingIsRefused()
    {
        RinvoMain window(h->services());
        h->messages.expect(msg::InvalidChoice, MessageButtons::Ok, MessageAnswer::Ok);
        h->browser.willChoose(h->temp / "vanished");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QVERIFY(text(window.sourceBox(0)).isEmpty());
        QVERIFY(!window.rulesChanged());
    }

    void theRootIsTheSameForSourceAndDestination()
    {
        RinvoMain window(h->services());
        chooseRow(window, 0, "/", "/");
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/"));
        QCOMPARE(text(window.destinationBox(0)), QStringLiteral("/"));
    }

    void aPathTheRuleFileCannotHoldIsRefused()
    {
        makeFolders(h->temp / "say \"hi\"");
        RinvoMain window(h->services());
        h->messages.expect(std::string(msg::PathNotStorable) + "\n" + h->temp / "say \"hi\"" + "\n"
                + "パスに \" (二重引用符) が含まれています",
            MessageButtons::Ok, MessageAnswer::Ok);
        h->browser.willChoose(h->temp / "say \"hi\"");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QVERIFY(text(window.sourceBox(0)).isEmpty());
        QVERIFY(!window.rulesChanged());
    }

    void rightClickOffersToClearAndNoKeepsTheText()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        QTest::mouseClick(window.sourceBox(1)->viewport(), Qt::RightButton);
        QCOMPARE(h->messages.shown().size(), std::size_t(0)); // an empty box asks nothing
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No);
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::RightButton);
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        QVERIFY(!window.rulesChanged());
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        QTest::mouseClick(window.destinationBox(0)->viewport(), Qt::RightButton);
        QVERIFY(text(window.destinationBox(0)).isEmpty());
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        QVERIFY(window.rulesChanged());
        QCOMPARE(h->browser.calls().size(), std::size_t(0)); // a right click never browses
    }

    void copyOptionIsTakenWhenTheBoxLosesTheFocus()
    {
        RinvoMain window(h->services());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* box = window.findChild<QComboBox*>(QStringLiteral("AttrStt"));
        box->setFocus();
        box->setCurrentIndex(2);
        QCOMPARE(h->module.copyOption, CopyOption::SkipSystem); // not when the selection changes
        window.findChild<QWidget*>(QStringLiteral("GoCopy"))->setFocus();
        QCOMPARE(h->module.copyOption, CopyOption::CopyEverything);
        box->setFocus();
        box->setEditText(QStringLiteral("どれでもない"));
        window.findChild<QWidget*>(QStringLiteral("GoCopy"))->setFocus();
        QCOMPARE(
            h->module.copyOption, CopyOption::CopyEverything); // typed text that names no entry
        QVERIFY(!window.rulesChanged());
        h->messages.expect(msg::NothingChanged, MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Hozon");
    }

    void saveWritesCompleteRowsAndClearsRulesChanged()
    {
        RinvoMain window(h->services());
        chooseRow(window, 4, h->temp / "data", h->temp / "backup");
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(1)->viewport(), Qt::LeftButton);
        click(window, "Hozon");
        QVERIFY(!window.rulesChanged());
        QCOMPARE(readFile(h->ruleFile),
            "\"" + h->temp / "data" + "\",\"" + h->temp / "backup" + "\"\r\n");

        h->messages.expect(msg::NothingChanged, MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Hozon");
    }

    void saveRefusesWhenNoRowIsSet()
    {
        RinvoMain window(h->services());
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        h->messages.expect(msg::NoValidRule, MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Hozon");
        QVERIFY(window.rulesChanged());
        QVERIFY(!readFile(h->ruleFile));
    }

    void aFailedSaveKeepsTheOldFileAndRulesChanged()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        ::chmod(h->ruleFile.c_str(), 0444);
        RinvoMain window(h->services());
        chooseRow(window, 0, h->temp / "data", h->temp / "backup");
        h->messages.expect(std::string(msg::SaveFailed) + "\n" + h->ruleFile + "\n"
                + "書き込みまたは読み取りが拒否されました (read-only file)",
            MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Hozon");
        QVERIFY(window.rulesChanged());
        QCOMPARE(readFile(h->ruleFile), std::string("\"/a\",\"/b\"\r\n"));

        // The quit command does not close the window when its save failed.
        window.show();
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        h->messages.expect(std::string(msg::SaveFailed) + "\n" + h->ruleFile + "\n"
                + "書き込みまたは読み取りが拒否されました (read-only file)",
            MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Owari");
        QVERIFY(window.isVisible());
    }

    void reloadAsksFirstWhenRowsWereEdited()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        h->messages.expect(msg::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No);
        click(window, "Yobikomi");
        QCOMPARE(text(window.sourceBox(0)), QString::fromStdString(h->temp / "data"));
        QVERIFY(window.rulesChanged());
        h->messages.expect(msg::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        click(window, "Yobikomi");
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        QVERIFY(!window.rulesChanged());
    }

    void reloadWithoutAFileOffersToEmptyTheRows()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        std::remove(h->ruleFile.c_str());
        h->messages.expect(msg::ResetQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No);
        click(window, "Yobikomi");
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        h->messages.expect(msg::ResetQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        click(window, "Yobikomi");
        QVERIFY(text(window.sourceBox(0)).isEmpty());
        QVERIFY(!window.rulesChanged());
    }

    void quitClosesAtOnceWhenNothingChanged()
    {
        RinvoMain window(h->services());
        window.show();
        click(window, "Owari");
        QVERIFY(!window.isVisible());
    }

    void quitAnsweredNoClosesWithoutSaving()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        window.show();
        chooseRow(window, 0, h->temp / "data", h->temp / "backup");
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::No);
        click(window, "Owari");
        QVERIFY(!window.isVisible());
        QCOMPARE(readFile(h->ruleFile), std::string("\"/a\",\"/b\"\r\n"));
    }

    void quitAfterClearingEveryRowAsksToFixThem()
    {
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
        RinvoMain window(h->services());
        window.show();
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::RightButton);
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        h->messages.expect(
            msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        click(window, "Owari");
        QVERIFY(window.isVisible());
        QVERIFY(window.rulesChanged());
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        h->messages.expect(
            msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::No);
        click(window, "Owari");
        QVERIFY(!window.isVisible());
        QCOMPARE(readFile(h->ruleFile), std::string("\"/a\",\"/b\"\r\n"));
    }

    void quitWithASpacesOnlyRowIsNotSavedButSaveWouldBe()
    {
        // The save command counts a text of spaces; the quit command does not.
        writeFile(h->ruleFile, "\"   \",\"/b\"\r\n");
        RinvoMain window(h->services());
        window.show();
        h->browser.willChoose(h->temp / "backup");
        QTest::mouseClick(window.destinationBox(0)->viewport(), Qt::LeftButton);
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        h->messages.expect(
            msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        click(window, "Owari");
        click(window, "Hozon");
        QCOMPARE(readFile(h->ruleFile), std::string()); // saved, as a file without complete rows
    }

    void quitSavesAndClosesWhenARowIsSet()
    {
        RinvoMain window(h->services());
        window.show();
        chooseRow(window, 2, h->temp / "data", h->temp / "backup");
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        click(window, "Owari");
        QVERIFY(!window.isVisible());
        QCOMPARE(readFile(h->ruleFile),
            "\"" + h->temp / "data" + "\",\"" + h->temp / "backup" + "\"\r\n");
    }

    void titleBarCloseNeverAsks()
    {
        RinvoMain window(h->services());
        window.show();
        chooseRow(window, 0, h->temp / "data", h->temp / "backup");
        QVERIFY(window.close());
        QVERIFY(h->messages.shown().empty());
    }
};

QTEST_MAIN(RuleCommandsTest)
#include "RuleCommandsTest.moc"
