#pragma once
// "Password Dialog": guards the custom, test and factory modes of the program settings. Custom
// and test mode need their access code (case-sensitive); factory mode has none and takes only the
// empty entry. A wrong entry beeps, warns and keeps the dialog open.

#include "comm/DeviceCommands.h"
#include "comm/UserPrompts.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace rv8::app {

class TPasswordDlg final : public QDialog {
    Q_OBJECT

public:
    TPasswordDlg(comm::TPasswordMode mode, comm::UserPrompts& prompts, QWidget* parent = nullptr);

    bool PasswordPassed() const { return m_passed; }
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    QLineEdit* Password() const { return m_entry; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    void OkBClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    comm::TPasswordMode m_mode;
    comm::UserPrompts& m_prompts;
    std::function<void()> m_beep;
    bool m_passed = false;
    QLineEdit* m_entry;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

// AskPassword: a dialog for one question, destroyed afterwards. Neither flag: factory mode.
bool AskPassword(bool customMode, bool testMode, comm::UserPrompts& prompts, QWidget* parent = nullptr,
                 std::function<void()> beep = {});

}  // namespace rv8::app
