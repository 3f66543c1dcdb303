#include "RinvoMain.h"

#include "Controls.h"
#include "Fonts.h"
#include "HelpForm.h"
#include "QtText.h"
#include "RuleBox.h"
#include "ThreadedCopyRun.h"
#include "Twips.h"
#include "WrappingButton.h"
#include "texts/Catalogue.h"
#include "platform/MessageBoxService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

namespace rinvo {

namespace {

const QColor ColumnHeadingColour(0x0E, 0x1F, 0xF1);

QFont gothic(qreal points, FontWeight weight = FontWeight::Bold)
{
    return makeFont(GothicFace, points, weight);
}

QFont century(qreal points)
{
    return makeFont(CenturyFace, points, FontWeight::Bold, FontStyle::Italic);
}

} // namespace

RinvoMain::RinvoMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_settings(services.fs, services.messages, services.codec, services.ruleFilePath)
    , m_editing(services.fs, services.messages, services.browser, services.codec, services.module)
{
    const qreal dpi
        = setUpWindow(this, QStringLiteral("RinvoMain"), QStringLiteral("Rinvo Ver5"), 10680, 8010);
    addTitleBand(dpi);
    addRuleRows(dpi);
    addCurrentFileLine(dpi);
    // The start button comes first in the focus order and holds the focus at opening.
    findChild<QWidget*>(QStringLiteral("GoCopy"))->setFocus();

    m_settings.Form_Load(m_state, m_services.module);
    showRules();
}

RinvoMain::~RinvoMain() = default;

HelpForm* RinvoMain::helpWindow() const
{
    return m_help;
}

void RinvoMain::addTitleBand(qreal dpi)
{
    makeLabel(this, QStringLiteral("Label4"), QStringLiteral("Rinvo"), { 120, 120, 2415, 735 }, dpi,
        century(27.75), HeadingColour);
    makeLabel(this, QStringLiteral("Label7"), QStringLiteral("Ver 5.0"), { 2640, 480, 1335, 375 },
        dpi, century(15.75), HeadingColour);

    struct Command
    {
        const char* name;
        QString caption;
        int left;
    };
    // NOTE: made in focus order, not in their row's order: the start button leads the focus
    // chain, and the chain follows the order in which controls are made.
    const Command commands[] = {
        { "GoCopy", QStringLiteral("コピー  開始"), 7920 },
        { "Owari", QStringLiteral("終了"), 9120 },
        { "Setumei", QStringLiteral("説明"), 4320 },
        { "Hozon", QStringLiteral("設定保存"), 5520 },
        { "Yobikomi", QStringLiteral("設定    ロード"), 6720 },
    };
    for (const Command& command : commands) {
        auto* button = new WrappingButton(command.caption, this);
        setUpControl(button, QString::fromLatin1(command.name), { command.left, 120, 975, 615 },
            dpi, command.caption);
        button->setFont(gothic(9.75));
        button->setAutoDefault(false);
    }
    connect(findChild<QPushButton*>(QStringLiteral("Setumei")), &QPushButton::clicked, this,
        &RinvoMain::Setumei_Click);
    connect(findChild<QPushButton*>(QStringLiteral("Hozon")), &QPushButton::clicked, this,
        &RinvoMain::Hozon_Click);
    connect(findChild<QPushButton*>(QStringLiteral("Yobikomi")), &QPushButton::clicked, this,
        &RinvoMain::Yobikomi_Click);
    connect(findChild<QPushButton*>(QStringLiteral("Owari")), &QPushButton::clicked, this,
        &RinvoMain::Owari_Click);
    connect(findChild<QPushButton*>(QStringLiteral("GoCopy")), &QPushButton::clicked, this,
        &RinvoMain::GoCopy_Click);

    QLabel* optionLabel
        = makeLabel(this, QStringLiteral("Label8"), QStringLiteral("コピーオプション"),
            { 4320, 840, 1575, 255 }, dpi, gothic(9.75), HeadingColour);
    m_attrStt = new QComboBox(this);
    setUpControl(m_attrStt, QStringLiteral("AttrStt"), { 5880, 840, 3855, 300 }, dpi,
        QStringLiteral("コピーオプション"),
        QStringLiteral("コピーオプションを３種類選択出来ます。"));
    m_attrStt->setEditable(true);
    m_attrStt->setInsertPolicy(QComboBox::NoInsert);
    for (const CopyOptionEntry& entry : copyOptionEntries())
        m_attrStt->addItem(toQString(entry.text), static_cast<int>(entry.value));
    m_attrStt->setCurrentIndex(m_attrStt->findData(static_cast<int>(DefaultCopyOption)));
    m_attrStt->installEventFilter(this);
    // The label names the box for screen readers, which take an editable box's name from it.
    optionLabel->setBuddy(m_attrStt);
    setColours(m_attrStt, palette().color(QPalette::Text), Qt::white);

    makeLabel(this, QStringLiteral("Label2"), QStringLiteral("コピー元フォルダ"),
        { 1320, 1320, 2775, 255 }, dpi, gothic(9.75), ColumnHeadingColour);
    makeLabel(this, QStringLiteral("Label3"), QStringLiteral("コピー先フォルダ"),
        { 6120, 1320, 2895, 255 }, dpi, gothic(11.25), ColumnHeadingColour);
}

void RinvoMain::addRuleRows(qreal dpi)
{
    const QString sourceTip = QStringLiteral(
        "クリックするとコピー元フォルダを選択できます。右クリックするとクリアします。");
    const QString destinationTip = QStringLiteral(
        "クリックするとコピー先フォルダを選択出来ます。右クリックするとクリアします。");
    for (int i = 0; i < RuleRows; ++i) {
        const QString row = QString::number(i + 1);
        const bool last = i == RuleRows - 1;
        makeLabel(this, QStringLiteral("Label5_%1").arg(i), row,
            { last ? 0 : 120, 1680 + 600 * i, last ? 375 : 255, 255 }, dpi, gothic(14.25));

        auto* source = new RuleBox(RuleSide::Source, i, this);
        setUpControl(source, QStringLiteral("SFolder%1").arg(i), { 360, 1560 + 600 * i, 5055, 495 },
            dpi, QStringLiteral("コピー元フォルダ %1").arg(row), sourceTip);
        auto* destination = new RuleBox(RuleSide::Destination, i, this);
        setUpControl(destination, QStringLiteral("DFolder%1").arg(i),
            { 5400, 1560 + 600 * i, 5055, 495 }, dpi,
            QStringLiteral("コピー先フォルダ %1").arg(row), destinationTip);
        m_sourceBoxes[static_cast<std::size_t>(i)] = source;
        m_destinationBoxes[static_cast<std::size_t>(i)] = destination;
        for (RuleBox* box : { source, destination }) {
            connect(box, &RuleBox::clicked, this,
                [this, box](int row) { Folder_Click(box->side(), row); });
            connect(
                box, &RuleBox::mousePressed, this, [this, box](int row, Qt::MouseButton button) {
                    Folder_MouseDown(box->side(), row, button);
                });
        }
    }
}

void RinvoMain::addCurrentFileLine(qreal dpi)
{
    makeLabel(this, QStringLiteral("Label6"), QStringLiteral("コピー中のファイル："),
        { 1680, 7560, 1695, 255 }, dpi, gothic(9));
    m_dspFileName = new QLineEdit(this);
    setUpControl(m_dspFileName, QStringLiteral("DspFileName"), { 3360, 7560, 4815, 270 }, dpi,
        QStringLiteral("コピー中のファイル"),
        QStringLiteral("実際にコピーしたファイルを表示します。"));
    m_dspFileName->setReadOnly(true);
}

void RinvoMain::readRuleBoxes()
{
    for (std::size_t i = 0; i < MaxRules; ++i)
        m_state.rules[i] = { toUtf8(m_sourceBoxes[i]->toPlainText()),
            toUtf8(m_destinationBoxes[i]->toPlainText()) };
}

void RinvoMain::showRules()
{
    for (std::size_t i = 0; i < MaxRules; ++i) {
        m_sourceBoxes[i]->setPlainText(toQString(m_state.rules[i].source));
        m_destinationBoxes[i]->setPlainText(toQString(m_state.rules[i].destination));
    }
}

bool RinvoMain::eventFilter(QObject* watched, QEvent* event)
{
    // The copy option is taken when the box loses the focus, not when its selection changes;
    // its own drop-down list taking the focus does not count.
    if (watched == m_attrStt && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        m_editing.AttrStt_LostFocus(toUtf8(m_attrStt->currentText()));
    return QWidget::eventFilter(watched, event);
}

void RinvoMain::closeEvent(QCloseEvent* event)
{
    // A close request during a copy run waits for the run's end, which closes the window.
    if (m_copying)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void RinvoMain::GoCopy_Click()
{
    readRuleBoxes();
    m_copying = true;
    ThreadedCopyRun copyRun(m_services.fs, m_services.messages, *m_dspFileName);
    copyRun.run(m_state.rules, m_services.module.copyOption);
    m_copying = false;
    // The save question runs without the row test that the quit command makes.
    if (m_state.RulesChanged
        && m_services.messages.show(messages::SaveQuestion, MessageButtons::YesNoDefaultYes)
            == MessageAnswer::Yes
        && !m_settings.saveRules(m_state))
        return; // NOTE: a failed save keeps the window open, so the edits are not lost.
    close();
}

void RinvoMain::Hozon_Click()
{
    readRuleBoxes();
    m_settings.Hozon_Click(m_state);
}

void RinvoMain::Yobikomi_Click()
{
    readRuleBoxes();
    m_settings.Yobikomi_Click(m_state);
    showRules();
}

void RinvoMain::Owari_Click()
{
    readRuleBoxes();
    if (m_settings.Owari_Click(m_state) == WindowAfter::Closes)
        close();
}

void RinvoMain::Folder_Click(RuleSide side, int index)
{
    readRuleBoxes();
    if (side == RuleSide::Source)
        m_editing.SFolder_Click(m_state, index);
    else
        m_editing.DFolder_Click(m_state, index);
    showRules();
}

void RinvoMain::Folder_MouseDown(RuleSide side, int index, Qt::MouseButton button)
{
    readRuleBoxes();
    const MouseButton pressed = button == Qt::RightButton ? MouseButton::Right
        : button == Qt::LeftButton                        ? MouseButton::Left
                                                          : MouseButton::Other;
    m_editing.Folder_MouseDown(m_state, side, index, pressed);
    showRules();
}

void RinvoMain::Setumei_Click()
{
    // One help window at most: a second click brings the open one to the front.
    if (!m_help)
        m_help = new HelpForm();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace rinvo
