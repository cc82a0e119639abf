#pragma once
// "System Clear / Factory Reset": the user chooses what the starter clears; every choice other
// than "No Reset" is confirmed with its caption as the question. Choice() is 0 when nothing is to
// be sent; comm::SendSystemReset sends it.

#include "comm/DeviceCommands.h"
#include "comm/UserPrompts.h"

#include <QDialog>

#include <array>

class QRadioButton;
class QPushButton;

namespace rv8::app {

class TInitMode final : public QDialog {
    Q_OBJECT

public:
    explicit TInitMode(comm::UserPrompts& prompts, QWidget* parent = nullptr);

    // Shows the window modally; the resulting choice (0..3).
    int AskChoice();
    int Choice() const { return m_choice; }

    QRadioButton* OptionButton(int choice) const { return m_options[static_cast<std::size_t>(choice)]; }
    QPushButton* AcceptButton() const { return m_accept; }
    QPushButton* CancelButton() const { return m_cancel; }

    void AcceptBClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    comm::UserPrompts& m_prompts;
    int m_choice = comm::rcNone;
    std::array<QRadioButton*, 4> m_options{};
    QPushButton* m_accept;
    QPushButton* m_cancel;
};

}  // namespace rv8::app
