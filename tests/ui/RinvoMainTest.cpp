#include "ui/RinvoMain.h"
#include "ui/Fonts.h"
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

    static QString controlText(QWidget* widget)
    {
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            return button->text();
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            return line->text();
        if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
            return box->toPlainText();
        return {};
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

    void controlsStandWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        // Pixels at 96 DPI: 15 twips make one pixel.
        QTest::newRow("Label4") << "Label4"
                                << "QLabel"
                                << "Rinvo" << QRect(8, 8, 161, 49);
        QTest::newRow("Label7") << "Label7"
                                << "QLabel"
                                << "Ver 5.0" << QRect(176, 32, 89, 25);
        QTest::newRow("Setumei") << "Setumei"
                                 << "rinvo::WrappingButton"
                                 << "説明" << QRect(288, 8, 65, 41);
        QTest::newRow("Hozon") << "Hozon"
                               << "rinvo::WrappingButton"
                               << "設定保存" << QRect(368, 8, 65, 41);
        QTest::newRow("Yobikomi") << "Yobikomi"
                                  << "rinvo::WrappingButton"
                                  << "設定    ロード" << QRect(448, 8, 65, 41);
        QTest::newRow("GoCopy") << "GoCopy"
                                << "rinvo::WrappingButton"
                                << "コピー  開始" << QRect(528, 8, 65, 41);
        QTest::newRow("Owari") << "Owari"
                               << "rinvo::WrappingButton"
                               << "終了" << QRect(608, 8, 65, 41);
        QTest::newRow("Label8") << "Label8"
                                << "QLabel"
                                << "コピーオプション" << QRect(288, 56, 105, 17);
        QTest::newRow("AttrStt") << "AttrStt"
                                 << "QComboBox"
                                 << "" << QRect(392, 56, 257, 20);
        QTest::newRow("Label2") << "Label2"
                                << "QLabel"
                                << "コピー元フォルダ" << QRect(88, 88, 185, 17);
        QTest::newRow("Label3") << "Label3"
                                << "QLabel"
                                << "コピー先フォルダ" << QRect(408, 88, 193, 17);
        QTest::newRow("Label6") << "Label6"
                                << "QLabel"
                                << "コピー中のファイル：" << QRect(112, 504, 113, 17);
        QTest::newRow("DspFileName") << "DspFileName"
                                     << "QLineEdit"
                                     << "" << QRect(224, 504, 321, 18);
        for (int i = 0; i < RinvoMain::RuleRows; ++i) {
            const QString row = QString::number(i + 1);
            const int labelTop = (1680 + 600 * i) / 15;
            const int boxTop = (1560 + 600 * i) / 15;
            const QRect label = i == 9 ? QRect(0, labelTop, 25, 17) : QRect(8, labelTop, 17, 17);
            QTest::addRow("Label5_%d", i)
                << QStringLiteral("Label5_%1").arg(i) << "QLabel" << row << label;
            QTest::addRow("SFolder%d", i) << QStringLiteral("SFolder%1").arg(i) << "rinvo::RuleBox"
                                          << "" << QRect(24, boxTop, 337, 33);
            QTest::addRow("DFolder%d", i) << QStringLiteral("DFolder%1").arg(i) << "rinvo::RuleBox"
                                          << "" << QRect(360, boxTop, 337, 33);
        }
    }

    void controlsStandWhereTheLayoutPutsThem()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        RinvoMain window(harness.services());
        QWidget* widget = control<QWidget>(window, name);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
        QCOMPARE(controlText(widget), text);
        QCOMPARE(widget->geometry(), geometry);
    }

    void windowHasItsCaptionAndClientSize()
    {
        RinvoMain window(harness.services());
        QCOMPARE(window.windowTitle(), QStringLiteral("Rinvo Ver5"));
        QCOMPARE(window.size(), QSize(712, 534));
    }

    void fontsAndColoursFollowTheLayout()
    {
        RinvoMain window(harness.services());
        auto* title = control<QLabel>(window, QStringLiteral("Label4"));
        QCOMPARE(title->font().family(), CenturyFace);
        QCOMPARE(title->font().pointSizeF(), 27.75);
        QVERIFY(title->font().bold() && title->font().italic());
        QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0x33, 0x5B, 0x51));
        auto* destinationHeading = control<QLabel>(window, QStringLiteral("Label3"));
        QCOMPARE(destinationHeading->font().family(), GothicFace);
        QCOMPARE(destinationHeading->font().pointSizeF(), 11.25);
        QCOMPARE(
            destinationHeading->palette().color(QPalette::WindowText), QColor(0x0E, 0x1F, 0xF1));
        QCOMPARE(control<QPushButton>(window, QStringLiteral("GoCopy"))->font().pointSizeF(), 9.75);
        QCOMPARE(control<QLabel>(window, QStringLiteral("Label5_0"))->font().pointSizeF(), 14.25);
        QCOMPARE(control<QLabel>(window, QStringLiteral("Label6"))->font().pointSizeF(), 9.0);
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
        // Each character counts ten pixels wide.
        auto measure = [](const QString& text) { return 10 * static_cast<int>(text.size()); };
        QCOMPARE(wrapAtBlanks(QStringLiteral("設定    ロード"), measure, 60),
            QStringLiteral("設定\nロード"));
        QCOMPARE(wrapAtBlanks(QStringLiteral("コピー  開始"), measure, 60),
            QStringLiteral("コピー\n開始"));
        QCOMPARE(wrapAtBlanks(QStringLiteral("説明"), measure, 60), QStringLiteral("説明"));
        QCOMPARE(wrapAtBlanks(QStringLiteral("a b c"), measure, 30), QStringLiteral("a b\nc"));

        RinvoMain window(harness.services());
        auto* button = control<QPushButton>(window, QStringLiteral("Yobikomi"));
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) > button->width() - 6,
            "the caption is wider than its button, so it wraps");
    }
};

QTEST_MAIN(RinvoMainTest)
#include "RinvoMainTest.moc"
