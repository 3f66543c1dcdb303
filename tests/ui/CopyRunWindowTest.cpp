// The copy run driven through the main window, with a scripted message box and real
// temporary folders.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "texts/Catalogue.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

class CopyRunWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowHarness> h;

    void writeRules(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        std::string bytes;
        for (const auto& [source, destination] : rows)
            bytes += "\"" + source + "\",\"" + destination + "\"\r\n";
        writeFile(h->ruleFile, bytes);
    }

    void expectOk(const std::string& text)
    {
        h->messages.expect(text, MessageButtons::Ok, MessageAnswer::Ok);
    }

    // Clicks the start button on a shown window and checks that the run closed it.
    void runCopy(RinvoMain& window)
    {
        window.show();
        window.findChild<QPushButton*>(QStringLiteral("GoCopy"))->click();
        QVERIFY(!window.isVisible());
    }

private slots:
    void init()
    {
        h = std::make_unique<WindowHarness>();
        writeFile(h->temp / "src/a.txt", "a");
        writeFile(h->temp / "src/sub/b.txt", "bb");
        makeFolders(h->temp / "dst");
    }

    void cleanup()
    {
        const std::string surprises = h->messages.surprises();
        QVERIFY2(surprises.empty(), surprises.c_str());
        h.reset();
    }

    void allRowsEmptyTellsThatNothingWasCopied()
    {
        RinvoMain window(h->services());
        expectOk(msg::NothingCopied);
        runCopy(window);
    }

    void changedRulesAreOfferedForSavingEvenWithoutACompleteRow()
    {
        writeRules({ { "/a", "/b" } });
        RinvoMain window(h->services());
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::RightButton);
        expectOk(msg::NothingCopied);
        h->messages.expect(msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        runCopy(window);
        QCOMPARE(readFile(h->ruleFile), std::string()); // saved without the quit command's row test
    }

    void halfFilledRowsAreSkippedSilently()
    {
        RinvoMain window(h->services());
        window.sourceBox(0)->setPlainText(QString::fromStdString(h->temp / "src"));
        window.destinationBox(1)->setPlainText(QString::fromStdString(h->temp / "dst"));
        expectOk(msg::NothingCopied);
        runCopy(window);
    }

    void missingDrivesAreNamedAsTyped()
    {
        writeRules({ { " x/data", h->temp / "dst" }, { h->temp / "src", "zz/backup" },
            { "\\\\server\\share", h->temp / "dst" }, { h->temp / "gone", h->temp / "dst" } });
        RinvoMain window(h->services());
        expectOk(msg::sourceDriveMissing(" x"));
        expectOk(msg::destinationDriveMissing("zz"));
        // A network path, and on POSIX an absolute one, skips the drive test.
        expectOk(msg::sourceFolderMissing("\\\\server\\share"));
        expectOk(msg::sourceFolderMissing(h->temp / "gone"));
        expectOk(msg::NothingCopied);
        runCopy(window);
    }

    void aMissingDestinationIsCreatedOnlyWhenTheUserSaysYes()
    {
        writeRules(
            { { h->temp / "src", h->temp / "new1" }, { h->temp / "src", h->temp / "new2" } });
        RinvoMain window(h->services());
        h->messages.expect(msg::createDestinationQuestion(h->temp / "new1"),
            MessageButtons::YesNoDefaultYes, MessageAnswer::No);
        h->messages.expect(msg::createDestinationQuestion(h->temp / "new2"),
            MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        expectOk(msg::CopyDone);
        runCopy(window);
        QCOMPARE(countEntries(h->temp / "new1"), -1);
        QCOMPARE(readFile(h->temp / "new2/sub/b.txt"), std::string("bb"));
    }

    void aDestinationThatCannotBeMadeIsToldAndItsRowSkipped()
    {
        writeRules({ { h->temp / "src", h->temp / "no/such/parent" } });
        RinvoMain window(h->services());
        h->messages.expect(msg::createDestinationQuestion(h->temp / "no/such/parent"),
            MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
        expectOk(msg::destinationNotCreated(
            h->temp / "no/such/parent", "パスが見つかりません (No such file or directory)"));
        expectOk(msg::NothingCopied);
        runCopy(window);
    }

    void aSingleFileWithAMissingDestinationIsNotAskedAboutButReported()
    {
        writeRules({ { h->temp / "src/a.txt", h->temp / "missing" } });
        RinvoMain window(h->services());
        expectOk(std::string(msg::NotEverythingCopied) + "\nコピー先 " + h->temp / "missing"
            + " (パスが見つかりません)");
        expectOk(msg::CopyDone);
        runCopy(window);
        QCOMPARE(countEntries(h->temp / "missing"), -1);
    }

    void aReadOnlyTargetGivesTheNoticeThenDone()
    {
        writeFile(h->temp / "dst/a.txt", "old", { 1'000'000'000, 0 });
        ::chmod((h->temp / "dst/a.txt").c_str(), 0444);
        writeRules({ { h->temp / "src", h->temp / "dst" } });
        RinvoMain window(h->services());
        expectOk(msg::ReadOnlyNotice);
        expectOk(msg::CopyDone);
        runCopy(window);
        QCOMPARE(readFile(h->temp / "dst/a.txt"), std::string("old"));
        QCOMPARE(readFile(h->temp / "dst/sub/b.txt"), std::string("bb"));
    }

    void otherFailuresAreNamedBeforeDone()
    {
        ::symlink("nowhere", (h->temp / "src/dangling").c_str());
        writeRules({ { h->temp / "src", h->temp / "dst" } });
        RinvoMain window(h->services());
        expectOk(std::string(msg::NotEverythingCopied) + "\nコピー元 " + h->temp / "src/dangling"
            + " (パスが見つかりません)");
        expectOk(msg::CopyDone);
        runCopy(window);
    }

    void aTwoRowBackupThenASecondRunThatCopiesNothing()
    {
        makeFolders(h->temp / "dst2");
        writeRules(
            { { h->temp / "src", h->temp / "dst" }, { h->temp / "src/sub", h->temp / "dst2" } });
        {
            RinvoMain window(h->services());
            expectOk(msg::CopyDone);
            runCopy(window);
            QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("DspFileName"))->text(),
                QStringLiteral("b.txt"));
        }
        QCOMPARE(readFile(h->temp / "dst/sub/b.txt"), std::string("bb"));
        QCOMPARE(readFile(h->temp / "dst2/b.txt"), std::string("bb"));
        const auto before = modifiedTime(h->temp / "dst2/b.txt");
        {
            RinvoMain window(h->services());
            expectOk(msg::CopyDone);
            runCopy(window);
            QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("DspFileName"))->text().isEmpty());
        }
        QCOMPARE(modifiedTime(h->temp / "dst2/b.txt"), before);
    }

    void aCloseRequestDuringTheRunAsksAndTheCaptionShowsTheProgress()
    {
        writeRules({ { h->temp / "src", h->temp / "dst" } });
        RinvoMain window(h->services());
        bool closedDuringRun = true;
        QString captionDuringRun;
        h->messages.whileShown = [&](std::string_view text) {
            if (text != msg::CopyDone)
                return;
            captionDuringRun = window.windowTitle();
            closedDuringRun = window.close();
        };
        // Answered No, the run goes on to its end, which closes the window.
        h->messages.expect(msg::StopQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No);
        expectOk(msg::CopyDone);
        runCopy(window);
        QVERIFY(!closedDuringRun);
        QVERIFY2(captionDuringRun.startsWith(QStringLiteral("Rinvo Ver5 - コピー中 1/1 行 ")),
            qPrintable(captionDuringRun));
        QCOMPARE(window.windowTitle(), QStringLiteral("Rinvo Ver5"));
    }

    void theCopyOptionInForceIsTheOneTaken()
    {
        writeFile(h->temp / "src/.hidden", "h");
        writeRules({ { h->temp / "src", h->temp / "dst" } });
        h->module.copyOption = CopyOption::SkipHiddenAndSystem;
        RinvoMain window(h->services());
        h->module.copyOption = CopyOption::SkipHiddenAndSystem;
        expectOk(msg::CopyDone);
        runCopy(window);
        QCOMPARE(countEntries(h->temp / "dst/.hidden"), -1);
    }
};

QTEST_MAIN(CopyRunWindowTest)
#include "CopyRunWindowTest.moc"
