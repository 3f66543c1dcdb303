// The Qt main window's rule boxes, option box, buttons and close box wired to the flow; what
// each command does is tested on the flow itself.

#include "texts/Catalogue.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

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

private slots:
    void init()
    {
        h = std::make_unique<WindowHarness>();
        makeFolders(h->temp / "data");
        writeFile(h->ruleFile, "\"/a\",\"/b\"\r\n");
    }

    void cleanup()
    {
        const std::string surprises = h->messages.surprises();
        QVERIFY2(surprises.empty(), surprises.c_str());
        h.reset();
    }

    void ruleBoxesShowTheRowsBrowseOnAClickAndOfferToClearOnARightClick()
    {
        RinvoMain window(h->services());
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/a"));
        QCOMPARE(text(window.destinationBox(0)), QStringLiteral("/b"));
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(0)->viewport(), Qt::LeftButton);
        QCOMPARE(h->browser.calls().at(0).startPath, std::string("/a"));
        QCOMPARE(text(window.sourceBox(0)), QString::fromStdString(h->temp / "data"));
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        QTest::mouseClick(window.destinationBox(0)->viewport(), Qt::RightButton);
        QVERIFY(text(window.destinationBox(0)).isEmpty());
        QVERIFY(window.rulesChanged());
        QCOMPARE(h->browser.calls().size(), std::size_t(1)); // a right click never browses
    }

    void theKeyboardSetsAndClearsARuleAndTheFocusShows()
    {
        RinvoMain window(h->services());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        RuleBox* box = window.sourceBox(1);
        auto highlighted = [&] {
            const QImage picture = box->grab().toImage();
            const QColor highlight = box->palette().color(QPalette::Highlight);
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixelColor(x, picture.height() / 2) == highlight)
                    return true;
            }
            return false;
        };
        QVERIFY(!highlighted());
        box->setFocus(Qt::TabFocusReason);
        QVERIFY2(highlighted(), "a focused box shows it");
        h->browser.willChoose(h->temp / "data");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(text(box), QString::fromStdString(h->temp / "data"));
        h->messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        QTest::keyClick(box, Qt::Key_Delete);
        QVERIFY(text(box).isEmpty());
        h->browser.willChoose(h->temp / "data");
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(h->browser.calls().size(), std::size_t(2));
    }

    void theCopyOptionIsTakenWhenTheBoxLosesTheFocus()
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
    }

    void theButtonsReachTheirCommands()
    {
        RinvoMain window(h->services());
        window.show();
        h->messages.expect(msg::NothingChanged, MessageButtons::Ok, MessageAnswer::Ok);
        click(window, "Hozon");
        writeFile(h->ruleFile, "\"/c\",\"/d\"\r\n");
        click(window, "Yobikomi");
        QCOMPARE(text(window.sourceBox(0)), QStringLiteral("/c"));
        click(window, "Owari");
        QVERIFY(!window.isVisible());
    }

    void theWindowSystemsCloseRequestClosesAtOnceWithoutAsking()
    {
        RinvoMain window(h->services());
        window.show();
        h->browser.willChoose(h->temp / "data");
        QTest::mouseClick(window.sourceBox(1)->viewport(), Qt::LeftButton);
        QVERIFY(window.rulesChanged());
        QCloseEvent close;
        QApplication::sendEvent(window.windowHandle(), &close);
        QVERIFY(!window.isVisible());
        QVERIFY(h->messages.shown().empty());
    }
};

QTEST_MAIN(RuleCommandsTest)
#include "RuleCommandsTest.moc"
