#include "HelpForm.h"

#include "Controls.h"
#include "Fonts.h"
#include "Twips.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

// The resources of a static library are registered by hand, outside any namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace rinvo {

QByteArray usageText()
{
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
    QFile file(QStringLiteral(":/rinvo/usage.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

HelpForm::HelpForm(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const qreal dpi = setUpWindow(
        this, QStringLiteral("HelpForm"), QStringLiteral("Rinvoの使い方"), 7725, 8535);

    auto* ok = new QPushButton(QStringLiteral("閉じる"), this);
    setUpControl(
        ok, QStringLiteral("OkBtn"), { 5640, 120, 1215, 495 }, dpi, QStringLiteral("閉じる"));
    ok->setFont(makeFont(GothicFace, 11.25, FontWeight::Bold));
    connect(ok, &QPushButton::clicked, this, &HelpForm::OkBtn_Click);

    makeLabel(this, QStringLiteral("Lvl1"), QStringLiteral("Rinvo の使い方"),
        { 360, 240, 2535, 375 }, dpi, makeFont(GothicFace, 14.25, FontWeight::Bold), HeadingColour);

    auto* text = new QPlainTextEdit(this);
    setUpControl(text, QStringLiteral("Text1"), { 120, 720, 7455, 7695 }, dpi,
        QStringLiteral("Rinvo の使い方"));
    text->setFont(makeFont(GothicFace, 9.75, FontWeight::Regular));
    setColours(text, QColor(0x00, 0x2D, 0x20), QColor(0xFA, 0xFF, 0xEE));
    // The stored text ends its lines with CR LF; the box shows them as plain line breaks.
    text->setPlainText(
        QString::fromUtf8(usageText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    text->setReadOnly(true);
    // The caret still moves, so the text can be scrolled, selected and copied from the keyboard.
    text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setTabChangesFocus(true);

    setTabOrder(ok, text);
    ok->setFocus();
}

void HelpForm::OkBtn_Click()
{
    close();
}

} // namespace rinvo
