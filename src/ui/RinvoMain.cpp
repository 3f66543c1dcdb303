#include "RinvoMain.h"

#include "FormBuilder.h"
#include "HelpForm.h"
#include "QtText.h"
#include "RuleBox.h"
#include "app/MessageBoxService.h"
#include "texts/Catalogue.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace rinvo {

RinvoMain::RinvoMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_flow(services, *this)
{
    const forms::FormLayout& form = forms::rinvoMainForm();
    buildControls(this, form, setUpForm(this, form));
    connectControls();
    // The start button comes first in the focus order and holds the focus at opening.
    findChild<QWidget*>(QStringLiteral("GoCopy"))->setFocus();
    // Input to this window is held back while a run goes on, and the option box's focus is
    // watched; see eventFilter.
    qApp->installEventFilter(this);

    m_flow.Form_Load();
}

RinvoMain::~RinvoMain()
{
    if (m_busyPointer)
        QApplication::restoreOverrideCursor();
}

HelpForm* RinvoMain::helpWindow() const
{
    return m_help;
}

void RinvoMain::connectControls()
{
    const std::pair<const char*, void (RinvoMain::*)()> commands[] = {
        { "Setumei", &RinvoMain::Setumei_Click },
        { "Hozon", &RinvoMain::Hozon_Click },
        { "Yobikomi", &RinvoMain::Yobikomi_Click },
        { "Owari", &RinvoMain::Owari_Click },
        { "GoCopy", &RinvoMain::GoCopy_Click },
    };
    for (const auto& [name, handler] : commands)
        connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this,
            handler);

    m_attrStt = findChild<QComboBox*>(QStringLiteral("AttrStt"));
    for (const forms::CopyOptionEntry& entry : forms::copyOptionEntries())
        m_attrStt->addItem(toQString(entry.text), static_cast<int>(entry.value));
    m_attrStt->setCurrentIndex(m_attrStt->findData(static_cast<int>(DefaultCopyOption)));
    // The label names the box for screen readers, which take an editable box's name from it.
    findChild<QLabel*>(QStringLiteral("Label8"))->setBuddy(m_attrStt);

    m_dspFileName = findChild<QLineEdit*>(QStringLiteral("DspFileName"));
    for (int i = 0; i < RuleRows; ++i) {
        auto* source = findChild<RuleBox*>(toQString(forms::memberName("SFolder", i)));
        auto* destination = findChild<RuleBox*>(toQString(forms::memberName("DFolder", i)));
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

CopyRuleTable RinvoMain::shownRules()
{
    CopyRuleTable rules;
    for (std::size_t i = 0; i < MaxRules; ++i)
        rules[i] = { toUtf8(m_sourceBoxes[i]->toPlainText()),
            toUtf8(m_destinationBoxes[i]->toPlainText()) };
    return rules;
}

void RinvoMain::showRules(const CopyRuleTable& rules)
{
    for (std::size_t i = 0; i < MaxRules; ++i) {
        m_sourceBoxes[i]->setPlainText(toQString(rules[i].source));
        m_destinationBoxes[i]->setPlainText(toQString(rules[i].destination));
    }
}

void RinvoMain::post(std::function<void()> task)
{
    // Dropped by Qt if the window has gone by then.
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void RinvoMain::setPointer(Pointer pointer)
{
    const bool busy = pointer == Pointer::Busy;
    if (busy == m_busyPointer)
        return;
    m_busyPointer = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void RinvoMain::setTitle(std::string_view title)
{
    setWindowTitle(toQString(title));
}

void RinvoMain::showCurrentFile(std::string_view name)
{
    m_dspFileName->setText(toQString(name));
    m_dspFileName->repaint();
}

void RinvoMain::showHelp()
{
    // One help window at most: a second click brings the open one to the front.
    if (!m_help)
        m_help = new HelpForm();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void RinvoMain::closeWindow()
{
    // The flow closing its window is no close request to ask about.
    m_closedByFlow = true;
    close();
    m_closedByFlow = false;
}

bool RinvoMain::isInputDuringRun(QObject* watched, QEvent* event) const
{
    if (!m_flow.running() || !watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
        // Only this window's: the run's message boxes and the help window take their input.
        return static_cast<QWidget*>(watched)->window() == this;
    default:
        return false;
    }
}

bool RinvoMain::eventFilter(QObject* watched, QEvent* event)
{
    // NOTE: the window system's close request is no input: it reaches closeEvent, which asks
    // whether to stop the run.
    if (isInputDuringRun(watched, event))
        return true;
    // The copy option is taken when the box loses the focus, not when its selection changes;
    // its own drop-down list taking the focus does not count.
    if (watched == m_attrStt && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        m_flow.AttrStt_LostFocus(toUtf8(m_attrStt->currentText()));
    return QWidget::eventFilter(watched, event);
}

void RinvoMain::closeEvent(QCloseEvent* event)
{
    if (!m_closedByFlow && m_flow.closeRequested() == WindowAfter::StaysOpen)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void RinvoMain::GoCopy_Click()
{
    m_flow.GoCopy_Click();
}

void RinvoMain::Hozon_Click()
{
    m_flow.Hozon_Click();
}

void RinvoMain::Yobikomi_Click()
{
    m_flow.Yobikomi_Click();
}

void RinvoMain::Owari_Click()
{
    m_flow.Owari_Click();
}

void RinvoMain::Setumei_Click()
{
    m_flow.Setumei_Click();
}

void RinvoMain::Folder_Click(RuleSide side, int index)
{
    m_flow.Folder_Click(side, index);
}

void RinvoMain::Folder_MouseDown(RuleSide side, int index, Qt::MouseButton button)
{
    const MouseButton pressed = button == Qt::RightButton ? MouseButton::Right
        : button == Qt::LeftButton                        ? MouseButton::Left
                                                          : MouseButton::Other;
    m_flow.Folder_MouseDown(side, index, pressed);
}

} // namespace rinvo
