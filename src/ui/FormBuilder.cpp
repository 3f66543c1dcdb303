#include "FormBuilder.h"

#include "Controls.h"
#include "Fonts.h"
#include "QtText.h"
#include "RuleBox.h"
#include "WrappingButton.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace rinvo {

namespace {

QWidget* makeTextView(QWidget* parent, const forms::ControlLayout& layout)
{
    auto* text = new QTextEdit(parent);
    text->setAcceptRichText(false);
    // The stored text ends its lines with CR LF; the box shows them as plain line breaks.
    text->setPlainText(
        toQString(layout.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    text->setReadOnly(true);
    // The caret still moves, so the text can be scrolled, selected and copied from the keyboard.
    text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setTabChangesFocus(true);
    text->setLineWrapMode(QTextEdit::NoWrap);
    return text;
}

// NOTE: the usage text indents an item's following lines with blanks, which line up only in a
// fixed-width font. In the layout's proportional font each following line is moved, without
// changing its text, so that its first character stands under the first character of its
// item's text.
void alignHangingIndents(QTextEdit* text)
{
    static const QRegularExpression ItemMarker(QStringLiteral(
        "^[\\x{3000} "
        "]*(?:[0-9\\x{FF10}-\\x{FF19}]+\\x{FF0E}|\\x{FF01}[^\\x{FF1A}]*\\x{FF1A}\\x{3000})"));
    const QFontMetricsF metrics(text->font());
    qreal itemText = -1;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        qsizetype blanks = 0;
        while (blanks < line.size() && (line[blanks] == u' ' || line[blanks] == QChar(0x3000)))
            ++blanks;
        if (blanks == line.size())
            continue;
        const QRegularExpressionMatch item = ItemMarker.match(line);
        if (item.hasMatch()) {
            itemText = metrics.horizontalAdvance(line.left(item.capturedLength()));
            continue;
        }
        if (itemText < 0 || blanks == 0)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTextIndent(itemText - metrics.horizontalAdvance(line.left(blanks)));
        QTextCursor(block).setBlockFormat(format);
    }
}

QWidget* makeWidget(QWidget* parent, const forms::ControlLayout& layout)
{
    using forms::ControlKind;
    switch (layout.kind) {
    case ControlKind::Label:
        return new QLabel(toQString(layout.text), parent);
    case ControlKind::Button: {
        auto* button = new WrappingButton(toQString(layout.text), parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::RuleBox:
        return new RuleBox(layout.arrayName == "SFolder" ? RuleSide::Source : RuleSide::Destination,
            layout.index, parent);
    case ControlKind::LineBox: {
        auto* line = new QLineEdit(parent);
        line->setReadOnly(true);
        return line;
    }
    case ControlKind::DropDownCombo: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    case ControlKind::TextView:
        return makeTextView(parent, layout);
    case ControlKind::DriveList:
        return new QComboBox(parent);
    case ControlKind::FolderTree:
        return new QTreeWidget(parent);
    case ControlKind::FileList:
        return new QListWidget(parent);
    case ControlKind::EditBox:
        return new QLineEdit(parent);
    }
    return nullptr;
}

// The relative luminance of a colour, as the web's contrast rules define it.
double luminance(const QColor& colour)
{
    auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

// The classic light face of a window, behind fixed text colours the system's scheme lacks
// contrast for.
const QColor LightFace(0xF0, 0xF0, 0xF0);

// NOTE: where the layout fixes a label's text colour, a dark colour scheme would draw it on a
// dark window; the label then gets a light face of its own, so the fixed colour stays readable.
void keepReadable(QWidget* label, const QColor& text)
{
    const QColor background = label->palette().color(QPalette::Window);
    const double lighter = std::max(luminance(text), luminance(background));
    const double darker = std::min(luminance(text), luminance(background));
    if ((lighter + 0.05) / (darker + 0.05) >= 3.0)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, LightFace);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

} // namespace

QFont fontOf(const forms::FontChoice& font)
{
    return makeFont(toQString(font.face), font.points, font.weight, font.style);
}

QColor colourOf(forms::Colour colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

qreal setUpForm(QWidget* window, const forms::FormLayout& form)
{
    return setUpWindow(
        window, toQString(form.name), toQString(form.caption), form.clientWidth, form.clientHeight);
}

void buildControls(QWidget* window, const forms::FormLayout& form, qreal dpi)
{
    // NOTE: made in the table's order, which is the focus order: Qt's focus chain follows the
    // order in which controls are made.
    for (const forms::ControlLayout& layout : form.controls) {
        QWidget* control = makeWidget(window, layout);
        const forms::TwipsRect& r = layout.rect;
        setUpControl(control, toQString(layout.name), { r.left, r.top, r.width, r.height }, dpi,
            toQString(layout.accessibleName), toQString(layout.tooltip));
        if (layout.font)
            control->setFont(fontOf(*layout.font));
        if (layout.kind == forms::ControlKind::TextView)
            alignHangingIndents(static_cast<QTextEdit*>(control));
        if (layout.textColour || layout.fieldColour) {
            const QColor text = layout.textColour ? colourOf(*layout.textColour)
                                                  : control->palette().color(QPalette::Text);
            setColours(
                control, text, layout.fieldColour ? colourOf(*layout.fieldColour) : QColor());
            if (layout.kind == forms::ControlKind::Label && layout.textColour)
                keepReadable(control, text);
        }
    }
}

} // namespace rinvo
