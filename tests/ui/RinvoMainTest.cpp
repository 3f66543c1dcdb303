#include "ui/RinvoMain.h"
#include "ui/Fonts.h"
#include "ui/FormCheck.h"
#include "ui/HelpForm.h"
#include "ui/RuleBox.h"
#include "ui/WindowHarness.h"
#include "ui/WrappingButton.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace rinvo;

using rinvo::testing::WindowHarness;

class RinvoMainTest : public QObject
{
    Q_OBJECT

private:
    WindowHarness harness;

    template <class T> T* control(RinvoMain& window, const QString& name)
    {
        T* found = window.findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }

    static int helpWindowCount()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<HelpForm*>(widget) && widget->isVisible() ? 1 : 0;
        return count;
    }

private slots:
    void initTestCase()
    {
        registerFontSubstitutes();
        QCOMPARE(RinvoMain(harness.services()).logicalDpiX(), 96);
    }

    void controlsStandAsTheTableSays()
    {
        RinvoMain window(harness.services());
        rinvo::testing::checkAgainstTable(window, forms::rinvoMainForm());
        QCOMPARE(window.size(), QSize(712, 534));
        QCOMPARE(control<QWidget>(window, QStringLiteral("SFolder9"))->metaObject()->className(),
            "rinvo::RuleBox");
    }

    void fixedColoursStayReadableUnderADarkSchemeAndNothingIsClipped()
    {
        const QPalette saved = QApplication::palette();
        QPalette dark = saved;
        for (QPalette::ColorRole role : { QPalette::Window, QPalette::Base, QPalette::Button })
            dark.setColor(role, QColor(0x20, 0x20, 0x20));
        for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text })
            dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
        QApplication::setPalette(dark);
        {
            RinvoMain window(harness.services());
            auto contrast = [](const QColor& a, const QColor& b) {
                auto l = [](const QColor& c) {
                    auto ch = [](double v) {
                        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
                    };
                    return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
                };
                const double x = l(a), y = l(b);
                return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
            };
            for (const char* name : { "Label4", "Label7", "Label8", "Label2", "Label3" }) {
                auto* label = control<QLabel>(window, QString::fromLatin1(name));
                const QColor behind = label->autoFillBackground()
                    ? label->palette().color(QPalette::Window)
                    : window.palette().color(QPalette::Window);
                QVERIFY2(
                    contrast(label->palette().color(QPalette::WindowText), behind) >= 3.0, name);
            }
            auto* option = control<QComboBox>(window, QStringLiteral("AttrStt"));
            QCOMPARE(option->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(option->palette().color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(window.minimumSize(), window.size());
            QCOMPARE(window.sourceBox(0)->contextMenuPolicy(), Qt::NoContextMenu);
        }
        QApplication::setPalette(saved);
    }

    void namedFacesResolveToInstalledFreeFonts()
    {
        RinvoMain window(harness.services());
        const QString gothic
            = QFontInfo(control<QLabel>(window, QStringLiteral("Label2"))->font()).family();
        const QString century
            = QFontInfo(control<QLabel>(window, QStringLiteral("Label4"))->font()).family();
        QVERIFY2(gothic.contains(QStringLiteral("IPA")), qPrintable(gothic));
        QVERIFY2(century.startsWith(QStringLiteral("C059"))
                || century.contains(QStringLiteral("Schola")),
            qPrintable(century));
    }

    void ruleBoxTooltipsDifferBetweenTheColumns()
    {
        RinvoMain window(harness.services());
        QCOMPARE(window.sourceBox(4)->toolTip(),
            QStringLiteral(
                "クリックするとコピー元フォルダを選択できます。右クリックするとクリアします。"));
        QCOMPARE(window.destinationBox(4)->toolTip(),
            QStringLiteral(
                "クリックするとコピー先フォルダを選択出来ます。右クリックするとクリアします。"));
        QCOMPARE(control<QLineEdit>(window, QStringLiteral("DspFileName"))->toolTip(),
            QStringLiteral("実際にコピーしたファイルを表示します。"));
        QCOMPARE(control<QComboBox>(window, QStringLiteral("AttrStt"))->toolTip(),
            QStringLiteral("コピーオプションを３種類選択出来ます。"));
    }

    void keyPressesChangeNeitherRuleBoxesNorTheCurrentFileLine()
    {
        RinvoMain window(harness.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        RuleBox* box = window.sourceBox(0);
        box->setPlainText(QStringLiteral("/home/user/data"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("xyz"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->toPlainText(), QStringLiteral("/home/user/data"));
        auto* line = control<QLineEdit>(window, QStringLiteral("DspFileName"));
        line->setText(QStringLiteral("a.txt"));
        QTest::keyClicks(line, QStringLiteral("xyz"));
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(line->text(), QStringLiteral("a.txt"));
    }

    void ruleBoxesWrapLongPathsWithoutScrollBars()
    {
        RinvoMain window(harness.services());
        RuleBox* box = window.destinationBox(9);
        const QString longPath = QStringLiteral("/media/backup/") + QString(60, QLatin1Char('x'));
        box->setPlainText(longPath);
        QCOMPARE(box->toPlainText(), longPath);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(box->viewport()->cursor().shape(), Qt::PointingHandCursor);
    }

    void copyOptionBoxHoldsTheThreeEntriesWithTheirValues()
    {
        RinvoMain window(harness.services());
        auto* box = control<QComboBox>(window, QStringLiteral("AttrStt"));
        QVERIFY(box->isEditable());
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QStringLiteral("隠しファイルもシステムファイルもコピーしない"));
        QCOMPARE(box->itemText(1), QStringLiteral("システムファイルはコピーしない"));
        QCOMPARE(box->itemText(2), QStringLiteral("すべてのファイルをコピーする"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(box->itemData(i).toInt(), i + 1);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(box->currentText(), QStringLiteral("システムファイルはコピーしない"));
    }

    void startButtonHoldsTheFocusWhenTheWindowOpens()
    {
        RinvoMain window(harness.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, QStringLiteral("GoCopy")));
        QWidget* first = window.nextInFocusChain();
        while (!(first->focusPolicy() & Qt::TabFocus))
            first = first->nextInFocusChain();
        QCOMPARE(first->objectName(), QStringLiteral("GoCopy"));
    }

    void controlsCarryAccessibleNamesAndDescriptions()
    {
        RinvoMain window(harness.services());
        window.show();
        auto nameOf = [&](const QString& objectName) {
            QAccessibleInterface* face
                = QAccessible::queryAccessibleInterface(control<QWidget>(window, objectName));
            return face ? face->text(QAccessible::Name) : QString();
        };
        QCOMPARE(nameOf(QStringLiteral("GoCopy")), QStringLiteral("コピー  開始"));
        QCOMPARE(nameOf(QStringLiteral("Label8")), QStringLiteral("コピーオプション"));
        QCOMPARE(nameOf(QStringLiteral("SFolder2")), QStringLiteral("コピー元フォルダ 3"));
        QCOMPARE(nameOf(QStringLiteral("DFolder9")), QStringLiteral("コピー先フォルダ 10"));
        QAccessibleInterface* option = QAccessible::queryAccessibleInterface(
            control<QWidget>(window, QStringLiteral("AttrStt")));
        const auto labels = option->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("コピーオプション"));
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(window.sourceBox(0));
        QCOMPARE(box->text(QAccessible::Description), window.sourceBox(0)->toolTip());
    }

    void twoClicksOnHelpOpenOneHelpWindow()
    {
        RinvoMain window(harness.services());
        window.show();
        auto* help = control<QPushButton>(window, QStringLiteral("Setumei"));
        QTest::mouseClick(help, Qt::LeftButton);
        QPointer<HelpForm> first = window.helpWindow();
        QTest::mouseClick(help, Qt::LeftButton);
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(window.helpWindow(), first.data());
        QVERIFY(first->parentWidget() == nullptr);
        first->close();
        QTRY_VERIFY(first.isNull());
    }

    void helpWindowOutlivesTheMainWindow()
    {
        QPointer<HelpForm> help;
        {
            RinvoMain window(harness.services());
            window.show();
            QTest::mouseClick(
                control<QPushButton>(window, QStringLiteral("Setumei")), Qt::LeftButton);
            help = window.helpWindow();
            window.close();
        }
        QVERIFY(!help.isNull());
        QVERIFY(help->isVisible());
        help->close();
        QTRY_VERIFY(help.isNull());
    }

    void captionsWiderThanTheirButtonWrapAtTheirBlanks()
    {
        RinvoMain window(harness.services());
        window.show();
        const std::pair<const char*, QStringList> wrapped[] = {
            { "Yobikomi", { QStringLiteral("設定"), QStringLiteral("ロード") } },
            { "GoCopy", { QStringLiteral("コピー"), QStringLiteral("開始") } },
        };
        for (const auto& [name, lines] : wrapped) {
            auto* button = control<WrappingButton>(window, QString::fromLatin1(name));
            QCOMPARE(button->captionLines(), lines);
        }
    }
};

QTEST_MAIN(RinvoMainTest)
#include "RinvoMainTest.moc"
