#pragma once
// "Program Properties": the dialog that edits the general program options (SETUP key, section
// PRG) and the update notification flag. Created once with the main window; creating it reads
// the options into the program state, and "&Accept" stores them and reads them back.
//
// What it does outside itself goes through the prompts it is handed and through Hooks, which the
// main window fills in; an unset hook does nothing, except askPassword, which refuses.

#include "comm/ProgramOptions.h"
#include "comm/UserPrompts.h"
#include "files/uReg.h"

#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace rv8::app {

class TPSetup : public QDialog {
    Q_OBJECT

public:
    using OptionMember = bool comm::ProgramOptions::*;

    struct Hooks {
        // AskPassword(custom mode, test mode): neither means factory mode. True when passed.
        std::function<bool(bool customMode, bool testMode)> askPassword {};
        // The update dialog's notification flag ("Check for updates"). Unset: the stored value
        // is read and written directly.
        std::function<bool()> updateNotification {};
        std::function<void(bool)> setUpdateNotification {};
        // The update dialog's proxy page ("Use Proxy Server").
        std::function<void()> showProxySettings {};
        // The starter and firmware selection, after a changed "Standard software" was confirmed.
        std::function<void()> showStarterSelection {};
        // Help topic "Program_Setup".
        std::function<void(const QString& topic)> showHelp {};
    };

    // Tab order of the page control; the last three tabs are hidden.
    enum Page { pgSoftware, pgStartup, pgParameters, pgKeypadControl, pgLayout, pgKeypadOperator, pgCount };

    // Reads the stored options into `options` (the program state, which must outlive the dialog).
    TPSetup(comm::ProgramOptions& options, comm::UserPrompts& prompts,
            const files::SettingsLocation& location = files::SettingsLocation::Default(), QWidget* parent = nullptr);
    ~TPSetup() override;

    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // The controls, for the main window's tests.
    QCheckBox* OptionBox(OptionMember member) const;
    QCheckBox* CheckForUpdatesBox() const { return m_checkForUpdates; }
    QLineEdit* NodeCountEdit() const { return m_nodeCount; }
    QTabWidget* PageControl() const { return m_pages; }
    QPushButton* AcceptButton() const { return m_accept; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* NextPageButton() const { return m_nextPage; }
    QPushButton* PreviousPageButton() const { return m_previousPage; }
    QPushButton* HelpButton() const { return m_help; }
    QPushButton* ProxyLink() const { return m_proxyLink; }

    // The node count field's rule: digits only; empty or 0 and below become 1, above 254 254.
    static QString NormalizeNodeCount(const QString& text);

signals:
    // "&Accept" has stored the options and read them back into the program state.
    void optionsApplied();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    QCheckBox* addOption(QWidget* page, OptionMember member, const QString& caption);

    void FormShow();
    void AcceptBClick();
    void CancelBClick();
    void HelpBClick();
    void NextPageBClick();
    void PreviousPageBClick();
    void ProxyLinkClick();
    void NodeCountExit();
    void StartupQuestionsClick(bool checked);
    void VisualSetupClick(bool checked);
    void PasswordBoxClick(QCheckBox* box, bool checked, bool customMode, bool testMode);
    void stepPage(int step);
    bool readUpdateNotification() const;

    comm::ProgramOptions& m_options;
    comm::UserPrompts& m_prompts;
    files::TReg m_reg;
    Hooks m_hooks;
    bool m_shownStandardSoftware = false;

    QTabWidget* m_pages = nullptr;
    std::vector<std::pair<OptionMember, QCheckBox*>> m_boxes;
    QCheckBox* m_checkForUpdates = nullptr;
    QLineEdit* m_nodeCount = nullptr;
    QPushButton* m_proxyLink = nullptr;
    QPushButton* m_nextPage = nullptr;
    QPushButton* m_previousPage = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_accept = nullptr;
};

}  // namespace rv8::app
