// The copy run as the Qt main window shows it: started by its button, drawn while it goes on,
// stopped from the window system's close request; the run's own rules are tested on the flow.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "fakes/MemoryFileSystem.h"
#include "texts/Catalogue.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <future>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

class CopyRunWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void aRunFromTheStartButtonShowsItsLastFileAndClosesTheWindow()
    {
        WindowHarness h;
        // One file in a subfolder: the walk's threads cannot change which one shows last.
        writeFile(h.temp / "src/sub/b.txt", "bb");
        writeFile(h.ruleFile, "\"" + h.temp / "src" + "\",\"" + h.temp / "dst" + "\"\r\n");
        makeFolders(h.temp / "dst");
        RinvoMain window(h.services());
        window.show();
        h.messages.expect(msg::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("GoCopy")), Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("DspFileName"))->text(),
            QStringLiteral("b.txt"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Rinvo Ver5"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(readFile(h.temp / "dst/sub/b.txt"), std::string("bb"));
        QVERIFY2(h.messages.surprises().empty(), h.messages.surprises().c_str());
    }

    void theCloseRequestDuringARunAsksToStopWhileTypingIsHeldBack()
    {
        WindowHarness h;
        MemoryFileSystem fs;
        h.addOneFileRule(fs);
        RinvoMain window(h.servicesOn(fs));
        window.show();
        auto* options = window.findChild<QComboBox*>(QStringLiteral("AttrStt"));
        const QString optionBefore = options->currentText();
        QString optionDuringRun;
        QString titleDuringRun;
        Qt::CursorShape pointerDuringRun = Qt::ArrowCursor;
        // While "a" is copied the user types into the option box, then presses the close box.
        fs.beforeCopy = [&](const std::string&) {
            std::promise<void> done;
            QMetaObject::invokeMethod(&window, [&] {
                titleDuringRun = window.windowTitle();
                if (const QCursor* pointer = QApplication::overrideCursor())
                    pointerDuringRun = pointer->shape();
                QTest::keyClicks(options, QStringLiteral("xyz"));
                optionDuringRun = options->currentText();
                QCloseEvent close;
                QApplication::sendEvent(window.windowHandle(), &close);
                done.set_value();
            });
            done.get_future().wait();
        };
        h.messages.expect(msg::StopQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        h.messages.expect(msg::CopyStopped, MessageButtons::Ok, MessageAnswer::Ok);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("GoCopy")), Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
        QVERIFY2(titleDuringRun.startsWith(QStringLiteral("Rinvo Ver5 - コピー中 1/1 行 ")),
            qPrintable(titleDuringRun));
        QCOMPARE(pointerDuringRun, Qt::WaitCursor);
        QCOMPARE(optionDuringRun, optionBefore);
        QVERIFY(!fs.exists("/dst/a"));
        QVERIFY2(h.messages.surprises().empty(), h.messages.surprises().c_str());
    }
};

QTEST_MAIN(CopyRunWindowTest)
#include "CopyRunWindowTest.moc"
