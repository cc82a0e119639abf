#pragma once
// "Communication Setup": the window of the communication session. It shows the session's
// Values() in its controls and runs the session's flows from its buttons: showing it loads the
// stored settings, "&Accept - Open Comm." opens the channel and stores the settings,
// "&Cancel - Close Comm." (also Esc and closing the window) restores the stored settings and
// the channel as it was, "&Test" reads the revision register ten times and fills the LED bar.
// While it is shown the program's BusyCount is raised, so the heartbeat stays quiet.
//
// Field rules: numeric fields take digits only and are parsed, defaulted and clamped to their
// stored value's range when left; "IP Address" takes digits and "." and becomes four numbers
// 0..255 when left. Choosing "2 Stop Bits" selects "No Parity"; odd or even parity "1 Stop Bit".

#include "comm/Serial.h"
#include "comm/UserPrompts.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace rv8::app {

class TSerialSetupForm final : public QDialog {
    Q_OBJECT

public:
    // `prompts` answers the help page's "not available" message; the session's own prompts show
    // its warnings. Both must outlive the window.
    TSerialSetupForm(comm::TSerialSetup& session, comm::UserPrompts& prompts, QWidget* parent = nullptr);
    ~TSerialSetupForm() override;

    comm::TSerialSetup& Session() { return m_session; }

    // The controls, for the tests that drive the window.
    QTabWidget* Tabs() const { return m_tabs; }
    const std::vector<QRadioButton*>& SerialTypeButtons() const { return m_serialTypes; }
    const std::vector<QRadioButton*>& EthernetTypeButtons() const { return m_ethernetTypes; }
    QComboBox* PortCombo() const { return m_port; }
    QComboBox* BaudCombo() const { return m_baud; }
    QComboBox* StopBitsCombo() const { return m_stopBits; }
    QComboBox* ParityCombo() const { return m_parity; }
    QLineEdit* TransmissionDelayEdit() const { return m_txDelay; }
    QLineEdit* ResponseDelayEdit() const { return m_rxDelay; }
    QLineEdit* AddressEdit() const { return m_address; }
    QCheckBox* EchoBackBox() const { return m_echo; }
    QCheckBox* RtsBox() const { return m_rts; }
    QComboBox* ProtocolCombo() const { return m_protocol; }
    QLineEdit* IpAddressEdit() const { return m_ip; }
    QLineEdit* TcpPortEdit() const { return m_tcpPort; }
    QLineEdit* TcpTransmissionDelayEdit() const { return m_tcpTxDelay; }
    QLineEdit* TcpResponseDelayEdit() const { return m_tcpRxDelay; }
    QProgressBar* LedBar() const { return m_led; }
    QLabel* PercentLabel() const { return m_percent; }
    QPushButton* TestButton() const { return m_test; }
    QPushButton* AbortButton() const { return m_abortTest; }
    QPushButton* HelpButton() const { return m_help; }
    QPushButton* AcceptButton() const { return m_accept; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The window's controls into the session's Values(), and back.
    void ControlsToValues();
    void ValuesToControls();

public slots:
    // Esc, "&Cancel - Close Comm." and closing the window: the Cancel flow; the window stays
    // open when the channel could not be restored.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AcceptClick();
    void TestClick();
    void AbortTestClick();
    void HelpClick();
    void StopBitsChosen(int position);
    void ParityChosen(int position);
    void FieldLeft(QLineEdit* edit);
    void SetTestRunning(bool running);
    static void SetChosenTag(const std::vector<QRadioButton*>& buttons, int tag);
    static int ChosenTag(const std::vector<QRadioButton*>& buttons);

    comm::TSerialSetup& m_session;
    comm::UserPrompts& m_prompts;
    bool m_shownOnce = false;

    QTabWidget* m_tabs;
    std::vector<QRadioButton*> m_serialTypes;
    std::vector<QRadioButton*> m_ethernetTypes;
    QComboBox* m_port;
    QComboBox* m_baud;
    QComboBox* m_stopBits;
    QComboBox* m_parity;
    QLineEdit* m_txDelay;
    QLineEdit* m_rxDelay;
    QLineEdit* m_address;
    QCheckBox* m_echo;
    QCheckBox* m_rts;
    QComboBox* m_protocol;
    QLineEdit* m_ip;
    QLineEdit* m_tcpPort;
    QLineEdit* m_tcpTxDelay;
    QLineEdit* m_tcpRxDelay;
    QProgressBar* m_led;
    QLabel* m_percent;
    QPushButton* m_test;
    QPushButton* m_abortTest;
    QPushButton* m_help;
    QPushButton* m_accept;
    QPushButton* m_cancel;
};

}  // namespace rv8::app
