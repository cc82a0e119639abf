#pragma once
// TGroupPrm2 ("RV8 Parameters"): the parameter group editor. It builds its input controls from
// a parameter's catalogue record, lets the user edit on the snapshot column (vcSnapshot) while
// the dependent limits (the Motor FLA range) are recalculated on that copy, and then stores the
// value into the working column (offline) or stores it and transmits it with the parameters it
// depends on (online).
//
// Created once and filled anew for every use:
//
//     editor.FillControls(number, false);
//     editor.Execute();            // modal; holds one BusyCount while shown
//
// The controls are QLineEdit / QComboBox wrapped in the control interfaces of param/Controls.h,
// so InitializePrmEdit and the key filters of the parameter model work on them unchanged.

#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "comm/Serial.h"
#include "comm/Transfer.h"
#include "comm/UserPrompts.h"
#include "param/CtrlSel.h"
#include "param/VarDrive.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;

namespace rv8::app {

namespace editor_text {
inline const QString kCaption = QStringLiteral("RV8 Parameters");
inline const QString kConfirmChange = QStringLiteral("Setting will now be changed, continue?");
inline const QString kMonitorOnly = QStringLiteral("This parameter cannot be changed through this program.");
inline const QString kAdvanced = QStringLiteral(
    "You currently do not have permission to edit/transmit parameter in the advanced parameter group.\rCheck the "
    "\"Edit/View advanced parameters\" checkbox to enable this feature.");
inline const QString kGoOnline = QStringLiteral("You are currently OFFLINE!, would you like to go ONLINE?");
inline const QString kPrinterUnavailable = QStringLiteral("The selected printer is currently unavailable.");
inline const QString kHelpTopic = QStringLiteral("Edit_Parameters");
}  // namespace editor_text

// What the editor works with; everything must outlive it. Prompts, Options, Session and Transfer
// are required; Scan is needed for transmitting (CheckBeforeTransmit).
struct EditorServices {
    comm::UserPrompts* Prompts = nullptr;
    const comm::ProgramOptions* Options = nullptr;
    comm::TSerialSetup* Session = nullptr;
    comm::TParameterTransfer* Transfer = nullptr;
    comm::TNetScan* Scan = nullptr;
    param::TCtrlSel* Selection = &param::CTRL_SEL;
    param::PrmTable* Table = &param::PRM_TABLE;
    // "Yes" to "go ONLINE?": the communication set-up window, shown modally.
    std::function<void()> showCommunicationSetup {};
    // Afterwards: the main window shows or hides its "Network" toolbar.
    std::function<void()> updateNetworkBar {};
    // The help buttons (topic "Edit_Parameters"); unset: nothing.
    std::function<void(const QString& topic)> showHelp {};
};

class TGroupPrm2 : public QDialog {
    Q_OBJECT

public:
    explicit TGroupPrm2(EditorServices services, QWidget* parent = nullptr);
    ~TGroupPrm2() override;

    // Builds the page and the row for parameter `number` (labels red when `highlight`, as from
    // the visual set-up page). Fills the control from the working value and copies the working
    // values of the parameter and of the limit roles into vcSnapshot.
    void FillControls(int number, bool highlight);
    // Stores every bound control into the working column and recalculates the limits twice.
    void SaveControls();
    // Shows the editor modally (BusyCount raised meanwhile); returns the dialog result.
    int Execute();

    // The button handlers (also what the buttons run).
    void DefaultClick();
    void SaveClick();
    void WriteClick();
    void CancelClick();

    // The parameter the editor was filled for (0 before the first fill).
    int ParameterNumber() const { return m_parameter; }
    // The index of the page to open (always 0: one page per use).
    int PageIndex() const { return m_pageIndex; }

    // Widgets, for the browser and for tests.
    QTabWidget* ParameterTabs() const { return m_tabs; }
    QLineEdit* EditBox() const;      // null when the parameter is a list
    QComboBox* ComboBox() const;     // null when the parameter is not a list
    QLabel* UnitLabel() const;
    QLabel* TitleLabel() const;
    QPushButton* DefaultButton() const { return m_default; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* WriteButton() const { return m_write; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* HelpButton() const { return m_help; }
    QPushButton* PrintButton() const { return m_print; }
    // The last transmission's outcome: true when every parameter went out.
    bool LastTransmitSucceeded() const { return m_lastTransmitOk; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Binding;

    param::PrmTable& table() const;
    void clearPages();
    void rangeCheck(Binding& binding);
    void listCheck(Binding& binding);
    void dependencyRefresh();
    void recalculateLimits(int column);
    void temperatureUnitConversion();
    bool confirmChange();
    void transmit(int number);
    Binding* bindingOf(int number) const;
    void updateButtons();
    void printPage();

    EditorServices m_s;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_default = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_helpText = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_help = nullptr;
    QLabel* m_titleLabel = nullptr;
    std::vector<std::unique_ptr<Binding>> m_bindings;
    int m_parameter = 0;
    int m_pageIndex = 0;
    bool m_lastTransmitOk = false;
};

}  // namespace rv8::app
