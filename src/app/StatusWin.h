#pragma once
// "Data Transfer": the progress window of the parameter transfer. The transfer drives it through
// comm::ITransferProgress; its "&Abort", closing it, and "Yes" to "Abort Data Transfer?" (asked
// when it loses the focus during a transfer) set the transfer's abort flag, which the running
// transfer sees at its next wait.

#include "comm/Transfer.h"
#include "comm/UserPrompts.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace rv8::app {

class TStatusWin final : public QDialog, public comm::ITransferProgress {
    Q_OBJECT

public:
    // `abortFlag` is the transfer's (TParameterTransfer::AbortFlag()); it must outlive the window.
    TStatusWin(bool& abortFlag, comm::UserPrompts& prompts, QWidget* parent = nullptr);

    void SetStatusMinMax(uint16_t Max1) override;
    void SetBar(uint16_t Bar1) override;
    void SetInfo(const QString& Inf) override;
    void ShowProgress() override;
    void HideProgress() override;

    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    bool HiddenByProgram() const { return m_hiddenByProgram; }
    uint16_t Maximum() const { return m_max; }

    QLabel* Transfer_Label() const { return m_label; }
    QProgressBar* Bar() const { return m_bar; }
    QPushButton* AbortButton() const { return m_abortButton; }

    // The window lost the focus during a transfer: back to front, and "Abort Data Transfer?".
    void FormDeactivate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AbortBClick();

    bool& m_abort;
    comm::UserPrompts& m_prompts;
    std::function<void()> m_beep;
    uint16_t m_max = 0;
    bool m_hiddenByProgram = true;
    bool m_asking = false;
    bool m_wasActive = false;
    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_abortButton;
};

}  // namespace rv8::app
