#pragma once
// "Scan Network...": runs the network scan of comm::TNetScan modally. Showing the window raises
// BusyCount and starts the scan from a one-shot timer once the window is up; "&Cancel" (or Esc)
// sets the scan's cancel flag and closes the window, the probe in progress ends at its next wait,
// and the nodes found so far stay in NETWORK_NODES. The main window's tree follows through
// comm::INetworkTreeView.

#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "comm/ShellState.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QLCDNumber;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace rv8::app {

class TNetScanWindow final : public QDialog, public comm::IScanView {
    Q_OBJECT

public:
    // `tree` (may be null) is the main window's network tree.
    TNetScanWindow(comm::TNetScan& scan, const comm::ProgramOptions& options, comm::INetworkTreeView* tree,
                   QWidget* parent = nullptr);

    // Runs the scan window modally (ScanNetwork).
    void ScanNetwork();
    // The delay before the scan starts (the timer's default period, 1 s); tests shorten it.
    void SetStartDelay(int milliseconds) { m_timer.setInterval(milliseconds); }

    void SetScanMaximum(int highest) override;
    void ShowAddress(int address) override;
    void ResetProgress() override;
    void ShowFoundCount(int count) override;
    void AddFoundLine(const QString& line) override;

    bool Cancelled() const { return m_cancel; }
    QListWidget* FoundList() const { return m_list; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    QLabel* FoundLabel() const { return m_found; }
    QLabel* MaximumLabel() const { return m_maximum; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void Timer1Timer();
    void CancelBClick();

    comm::TNetScan& m_scan;
    const comm::ProgramOptions& m_options;
    comm::INetworkTreeView* m_tree;
    QTimer m_timer;
    bool m_cancel = false;
    bool m_busy = false;
    QLCDNumber* m_address;
    QLabel* m_maximum;
    QLabel* m_found;
    QProgressBar* m_progress;
    QListWidget* m_list;
    QPushButton* m_cancelButton;
};

}  // namespace rv8::app
