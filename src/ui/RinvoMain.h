#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rinvo {

class HelpForm;
class RuleBox;

/// The main window: five commands, the copy-option box, ten rule rows and the line that shows
/// the file being copied. Controls keep fixed positions given in twips.
class RinvoMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int RuleRows = 10;

    explicit RinvoMain(QWidget* parent = nullptr);
    ~RinvoMain() override;

    RuleBox* sourceBox(int index) const { return m_sourceBoxes.at(static_cast<std::size_t>(index)); }
    RuleBox* destinationBox(int index) const { return m_destinationBoxes.at(static_cast<std::size_t>(index)); }
    /// The open help window, or null.
    HelpForm* helpWindow() const;

private slots:
    void Setumei_Click();

private:
    void addTitleBand(qreal dpi);
    void addRuleRows(qreal dpi);
    void addCurrentFileLine(qreal dpi);

    QPushButton* m_goCopy = nullptr;
    QComboBox* m_attrStt = nullptr;
    QLineEdit* m_dspFileName = nullptr;
    std::array<RuleBox*, RuleRows> m_sourceBoxes {};
    std::array<RuleBox*, RuleRows> m_destinationBoxes {};
    QPointer<HelpForm> m_help;
};

} // namespace rinvo
