#include "ui/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace rinvo;

class QtMessageBoxTest : public QObject
{
    Q_OBJECT

private:
    static QStringList captions(const QMessageBox& box)
    {
        QStringList texts;
        for (QAbstractButton* button : box.buttons())
            texts << button->text();
        texts.sort();
        return texts;
    }

private slots:
    void boxesCarryTheTitleNoIconAndJapaneseButtons_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("expectedCaptions");
        QTest::addColumn<QString>("defaultCaption");
        QTest::newRow("OK") << int(MessageButtons::Ok) << QStringList { QStringLiteral("OK") }
                            << QStringLiteral("OK");
        const QStringList yesNo = QStringList { QStringLiteral("いいえ"), QStringLiteral("はい") };
        QTest::newRow("Yes default")
            << int(MessageButtons::YesNoDefaultYes) << yesNo << QStringLiteral("はい");
        QTest::newRow("No default")
            << int(MessageButtons::YesNoDefaultNo) << yesNo << QStringLiteral("いいえ");
    }

    void boxesCarryTheTitleNoIconAndJapaneseButtons()
    {
        QFETCH(int, buttons);
        QFETCH(QStringList, expectedCaptions);
        QFETCH(QString, defaultCaption);
        QtMessageBox service;
        auto box = service.build("コピーを完了しました。", static_cast<MessageButtons>(buttons));
        QCOMPARE(box->windowTitle(), QStringLiteral("Rinvo V40"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->text(), QStringLiteral("コピーを完了しました。"));
        QCOMPARE(captions(*box), expectedCaptions);
        QCOMPARE(box->defaultButton()->text(), defaultCaption);
    }

    void clickedButtonsMapToAnswers()
    {
        QtMessageBox service;
        auto box = service.build("変更された設定を保存しますか？", MessageButtons::YesNoDefaultYes);
        for (QAbstractButton* button : box->buttons()) {
            const bool yes = button->text() == QStringLiteral("はい");
            // A click outside exec() records the clicked button just as a user's click does.
            button->click();
            QCOMPARE(QtMessageBox::answerOf(*box), yes ? MessageAnswer::Yes : MessageAnswer::No);
        }
        auto ok = service.build("x", MessageButtons::Ok);
        ok->buttons().first()->click();
        QCOMPARE(QtMessageBox::answerOf(*ok), MessageAnswer::Ok);
    }
};

QTEST_MAIN(QtMessageBoxTest)
#include "QtMessageBoxTest.moc"
