#pragma once
// "Scan Results": what the identification found, series and firmware version. "&Close" stores
// option L12 (show this window after an automatic scan) as the opposite of "Hide Dialog", in the
// settings (SETUP, section PRG) and in the running program's options.

#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "files/uReg.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace rv8::app {

class TWinV final : public QDialog, public comm::IScanResultsView {
    Q_OBJECT

public:
    TWinV(comm::ProgramOptions& options, const files::SettingsLocation& location = files::SettingsLocation::Default(),
          QWidget* parent = nullptr);

    void SetFirmwareText(const QString& text) override;
    void SetSeriesText(const QString& text) override;
    // Modal.
    void ShowResults() override;

    QLabel* SeriesLabel() const { return m_series; }
    QLabel* FirmwareLabel() const { return m_firmware; }
    QCheckBox* HideDialogBox() const { return m_hide; }
    QPushButton* CloseButton() const { return m_close; }

    void CloseBClick();

private:
    comm::ProgramOptions& m_options;
    files::TReg m_reg;
    QLabel* m_series;
    QLabel* m_firmware;
    QCheckBox* m_hide;
    QPushButton* m_close;
};

}  // namespace rv8::app
