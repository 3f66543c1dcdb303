#include "ui/HelpForm.h"
#include "forms/FormLayout.h"
#include "ui/Fonts.h"
#include "ui/FormCheck.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

#include <cstdlib>

using namespace rinvo;

namespace {

QByteArray usageText()
{
    const std::string_view text = forms::usageText();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The usage text line by line; "\u3000" is the ideographic blank.
const char* const UsageLines[] = {
    "",
    "  １．このソフトは、毎日の入力データを簡潔な操作でバックアップすることを目的に作成しま",
    "      した。",
    "",
    "  ２．コピー元とコピー先のフォルダを登録し（最大１０手順まで）、その設定に従ってフォル",
    "\u3000\u3000\u3000ダとその中のファイルやサブフォルダを自動的にコピーします。",
    "",
    "  ３．設定ファイルを保存することにより、次回からはワンクリックでその設定に従って自動的",
    "      にコピーできます。エクスプローラの様な質問ダイアログを、なるべく出さない仕組みに",
    "\u3000\u3000\u3000しております。",
    "",
    "  ４．コピー先にコピー元と同名のファイルがあり、それが同じ更新日時か新しかったら",
    "\u3000\u3000\u3000コピーしません。（重要！）",
    "",
    "  ５．コピー元に無いファイルが、コピー先にあっても削除されることはありません。",
    "",
    "  ６．圧縮したり、一つのファイルにまとめたりしないので、そのままのイメージでフォルダが",
    "      作成されます。コピー先の内容を見るのに、専用ソフトは必要ありません。",
    "  ",
    "  ７．登録したフォルダの中のファイルを選択的にコピーすることは出来ません。サブフォルダ",
    "      内のファイルもすべてコピーされます。",
    "",
    "  ８．設定ファイルは Rinvo と同じフォルダに作成されますので、別のフォルダに Rinvo ",
    "      を置けば事実上無制限にコピー手順を設定出来ることになります。",
    "",
    "  ９．設定ファイル（ copyrule.txt ）はCSV形式ですからメモ帳等で編集できますが、フォー",
    "      マットは絶対に変更しないでください。",
    "",
    "１０．ＬＡＮ上のコンピュータとのやり取りは、条件によってログインする必要があります。",
    "",
    "１１．フォルダ選択画面はコピーオプション通りには表示されません。ファイルはコピーオプ",
    "\u3000\u3000\u3000ション通りにコピーされます。",
    "",
    "  ！注意：\u3000コピー先のドライブ容量はチェックしませんので、コピーするのに十分なスペース",
    "\u3000\u3000\u3000\u3000\u3000\u3000\u3000があることを確認しておいてください。",
};

} // namespace

class HelpFormTest : public QObject
{
    Q_OBJECT

private:
    static QList<QByteArray> storedLines()
    {
        QList<QByteArray> lines = usageText().split('\n');
        lines.removeLast(); // after the last line's CR LF
        return lines;
    }

private slots:
    void initTestCase() { registerFontSubstitutes(); }

    void usageTextIsStoredByteForByte()
    {
        QByteArray expected;
        for (const char* line : UsageLines)
            expected += QByteArray(line) + "\r\n";
        QCOMPARE(usageText(), expected);
    }

    void everyLineEndsWithCrLfAndTheBlanksAreOfTheirKinds()
    {
        const QList<QByteArray> lines = storedLines();
        QCOMPARE(lines.size(), 35);
        for (const QByteArray& line : lines)
            QVERIFY(line.endsWith('\r') && !line.chopped(1).contains('\r'));
        auto line = [&](int number) { return QString::fromUtf8(lines[number - 1].chopped(1)); };
        QVERIFY(line(1).isEmpty());
        QCOMPARE(line(19), QStringLiteral("  "));
        for (int n : { 2, 5, 8, 12, 15, 17, 20, 23, 26, 34 })
            QVERIFY2(line(n).startsWith(QStringLiteral("  ")) && line(n)[2] != QLatin1Char(' '),
                qPrintable(line(n)));
        for (int n : { 3, 9, 18, 21, 24, 27 })
            QVERIFY(
                line(n).startsWith(QString(6, QLatin1Char(' '))) && line(n)[6] != QLatin1Char(' '));
        for (int n : { 6, 10, 13, 32 })
            QVERIFY(line(n).startsWith(QString(3, QChar(0x3000))) && line(n)[3] != QChar(0x3000));
        QVERIFY(line(35).startsWith(QString(7, QChar(0x3000))));
        QVERIFY(line(29).startsWith(QStringLiteral("１０．"))
            && line(31).startsWith(QStringLiteral("１１．")));
        QVERIFY(line(23).endsWith(QStringLiteral("Rinvo ")));
        QVERIFY(line(34).contains(QStringLiteral("！注意：\u3000")));
        QVERIFY(line(26).contains(QStringLiteral("（ copyrule.txt ）")));
    }

    void windowShowsTheTextWithItsLayout()
    {
        HelpForm help;
        rinvo::testing::checkAgainstTable(help, forms::helpForm());
        QCOMPARE(help.size(), QSize(515, 569));
        QCOMPARE(forms::helpForm().control("Text1").text, forms::usageText());
    }

    void anItemsFollowingLinesStandUnderItsText()
    {
        HelpForm help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        auto* text = help.findChild<QTextEdit*>(QStringLiteral("Text1"));
        // The x of a line's first character after its blanks, or after its item marker.
        auto xAt = [&](int line, int column) {
            QTextCursor cursor(text->document()->findBlockByNumber(line));
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
            return text->cursorRect(cursor).x();
        };
        auto firstText = [&](int line) {
            const QString shown = text->document()->findBlockByNumber(line).text();
            int column = 0;
            while (
                column < shown.size() && (shown[column] == u' ' || shown[column] == QChar(0x3000)))
                ++column;
            return column;
        };
        // Item 1 ("  １．このソフトは") and its next line ("      した。"), item 2 and its
        // line indented with ideographic blanks, and the note's seven-blank line.
        const struct
        {
            int item;
            int markerEnd;
            int following;
        } pairs[] = { { 1, 4, 2 }, { 4, 4, 5 }, { 7, 4, 9 }, { 33, 7, 34 } };
        for (const auto& pair : pairs) {
            const int itemX = xAt(pair.item, pair.markerEnd);
            const int lineX = xAt(pair.following, firstText(pair.following));
            QVERIFY2(std::abs(itemX - lineX) <= 1,
                qPrintable(QStringLiteral("line %1: %2 against %3")
                               .arg(pair.following + 1)
                               .arg(lineX)
                               .arg(itemX)));
        }
        QCOMPARE(text->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")),
            QString::fromUtf8(usageText()));
    }

    void qtsOwnTextsFollowAJapaneseLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        QVERIFY(installQtTranslations());
        QLocale::setDefault(saved);
        const QString copy = QCoreApplication::translate("QLineEdit", "&Copy");
        QVERIFY2(copy.contains(QStringLiteral("コピー")), qPrintable(copy));
    }

    void typingChangesNothingAndTheCloseButtonHasTheFocus()
    {
        auto* help = new HelpForm;
        QPointer<HelpForm> guard = help;
        help->show();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("OkBtn"));
        auto* text = help->findChild<QTextEdit*>(QStringLiteral("Text1"));
        const QString before = text->toPlainText();
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("abc"));
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(text->toPlainText(), before);
        QTest::mouseClick(help->findChild<QPushButton*>(QStringLiteral("OkBtn")), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(HelpFormTest)
#include "HelpFormTest.moc"
