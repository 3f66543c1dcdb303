// The main window's close request as a desktop sends it: on an X server with a window manager,
// wmctrl asks the manager to close the window, and the manager sends WM_DELETE_WINDOW.

#include <QPushButton>
#include <QtTest>

#include "fakes/MemoryFileSystem.h"
#include "texts/Catalogue.h"
#include "ui/WindowHarness.h"

#include <chrono>
#include <cstdlib>
#include <future>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

class CloseRequestTest : public QObject
{
    Q_OBJECT

private slots:
    void theWindowManagersCloseRequestDuringARunAsksWhetherToStop()
    {
        for (MessageAnswer answer : { MessageAnswer::Yes, MessageAnswer::No }) {
            const bool stops = answer == MessageAnswer::Yes;
            WindowHarness h;
            MemoryFileSystem fs;
            h.addOneFileRule(fs);
            RinvoMain window(h.servicesOn(fs));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const std::string close
                = "wmctrl -i -c " + std::to_string(window.winId()) + " >/dev/null 2>&1";
            // While "a" is copied the user presses the title bar's close box.
            std::promise<void> asked;
            std::future<void> questionShown = asked.get_future();
            // Told once the answer has been acted on, after the close request's handling.
            h.messages.whileShown = [&](std::string_view text) {
                if (text == msg::StopQuestion)
                    QMetaObject::invokeMethod(
                        &window, [&] { asked.set_value(); }, Qt::QueuedConnection);
            };
            bool questionInTime = false;
            fs.beforeCopy = [&](const std::string&) {
                questionInTime = std::system(close.c_str()) == 0
                    && questionShown.wait_for(std::chrono::seconds(10))
                        == std::future_status::ready;
            };
            h.messages.expect(msg::StopQuestion, MessageButtons::YesNoDefaultNo, answer);
            h.messages.expect(
                stops ? msg::CopyStopped : msg::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
            QTest::mouseClick(
                window.findChild<QPushButton*>(QStringLiteral("GoCopy")), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 15000);
            QVERIFY2(questionInTime, "the close request reached the window during the run");
            QCOMPARE(fs.exists("/dst/a"), !stops);
            QVERIFY2(h.messages.surprises().empty(), h.messages.surprises().c_str());
        }
    }
};

QTEST_MAIN(CloseRequestTest)
#include "CloseRequestTest.moc"
