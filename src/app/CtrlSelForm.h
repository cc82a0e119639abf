#pragma once
// "Selection": the user picks the starter model and firmware by hand, or "&Scan" reads them from
// the connected starter. The state and the rules are param::TCtrlSel; the identification is
// comm::scandriveprocedure. Accepting a changed selection asks first, because the rebuilt
// catalogue returns every working value to its default.

#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "comm/ShellState.h"
#include "comm/UserPrompts.h"
#include "param/CtrlSel.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;

namespace rv8::app {

class TCtrlSelForm final : public QDialog {
    Q_OBJECT

public:
    struct Hooks {
        // "Yes" to setting up communication before a scan: the "Communication Setup" window.
        std::function<void()> openCommunicationSetup {};
        // "&help": help topic "Selecting_Device_Type".
        std::function<void(const QString& topic)> showHelp {};
        // After the catalogue was rebuilt for a new selection (caption, tree and views refresh).
        std::function<void()> catalogueRebuilt {};
    };

    // `scan` may be null (no session): "&Scan" then does nothing after the connection question.
    TCtrlSelForm(param::TCtrlSel& state, comm::UserPrompts& prompts, const comm::ProgramOptions& options,
                 comm::ShellState& shell, comm::TNetScan* scan, QWidget* parent = nullptr);

    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // Where the selection applies; the program-wide state by default.
    void SetTargets(param::TSelectionState& selection, param::TModifiedFlags& flags, param::CatalogueRebuild rebuild);
    // Results view for the identification (the "Scan Results" window); may be null.
    void SetScanResults(comm::IScanResultsView* results) { m_results = results; }

    QComboBox* DriveType() const { return m_driveType; }
    QComboBox* FLASHNO() const { return m_flashNo; }
    QPushButton* ScanDrive() const { return m_scanDrive; }
    QPushButton* CtrlOK() const { return m_ok; }
    QPushButton* Cancel() const { return m_cancel; }
    QPushButton* Help() const { return m_help; }

    void ScanDriveClick();
    void CtrlOKClick();
    void CancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    // Esc and closing the window act as "&Cancel".
    void reject() override;

private:
    void ShowState();
    void EnableControls(bool enabled);
    void Apply();

    param::TCtrlSel& m_state;
    comm::UserPrompts& m_prompts;
    const comm::ProgramOptions& m_options;
    comm::ShellState& m_shell;
    comm::TNetScan* m_scan;
    comm::IScanResultsView* m_results = nullptr;
    param::TSelectionState* m_selection;
    param::TModifiedFlags* m_flags;
    param::CatalogueRebuild m_rebuild;
    Hooks m_hooks;
    bool m_busy = false;
    bool m_updating = false;
    QComboBox* m_driveType;
    QComboBox* m_flashNo;
    QPushButton* m_scanDrive;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_help;
};

}  // namespace rv8::app
