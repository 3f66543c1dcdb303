#pragma once

#include "app/MainWindowFlow.h"
#include "forms/FormLayout.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace rinvo {

class FileSystem;
class FolderBrowser;
class HelpForm;
class MessageBoxService;
class RuleBox;
class TextCodec;

/// The main window: five commands, the copy-option box, ten rule rows and the line that shows
/// the file being copied. Controls keep fixed positions given in twips.
class RinvoMain : public QWidget, private MainWindowView
{
    Q_OBJECT
public:
    static constexpr int RuleRows = forms::RuleRows;

    explicit RinvoMain(MainWindowServices services, QWidget* parent = nullptr);
    ~RinvoMain() override;

    RuleBox* sourceBox(int index) const
    {
        return m_sourceBoxes.at(static_cast<std::size_t>(index));
    }
    RuleBox* destinationBox(int index) const
    {
        return m_destinationBoxes.at(static_cast<std::size_t>(index));
    }
    /// The open help window, or null.
    HelpForm* helpWindow() const;
    bool rulesChanged() const { return m_flow.state().RulesChanged; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Setumei_Click();
    void GoCopy_Click();
    void Hozon_Click();
    void Yobikomi_Click();
    void Owari_Click();
    void Folder_Click(RuleSide side, int index);
    void Folder_MouseDown(RuleSide side, int index, Qt::MouseButton button);

private:
    void connectControls();
    CopyRuleTable shownRules() override;
    void showRules(const CopyRuleTable& rules) override;
    void showHelp() override;
    void closeWindow() override;
    void post(std::function<void()> task) override;
    void setPointer(Pointer pointer) override;
    void setTitle(std::string_view title) override;
    void showCurrentFile(std::string_view name) override;
    bool isInputDuringRun(QObject* watched, QEvent* event) const;

    MainWindowServices m_services;
    MainWindowFlow m_flow;
    QComboBox* m_attrStt = nullptr;
    QLineEdit* m_dspFileName = nullptr;
    std::array<RuleBox*, RuleRows> m_sourceBoxes {};
    std::array<RuleBox*, RuleRows> m_destinationBoxes {};
    QPointer<HelpForm> m_help;
    bool m_busyPointer = false;
    bool m_closedByFlow = false;
};

} // namespace rinvo
