#pragma once
// "Set System Real Time Clock": the date and time to set, starting at the computer's own. "&Set"
// keeps the window open with a message for a year outside 2000..2047; ClockCancelled() stays
// true unless a valid entry was set. comm::SetStarterClock writes Values().

#include "comm/DeviceCommands.h"
#include "comm/UserPrompts.h"

#include <QDialog>

class QDateEdit;
class QPushButton;
class QTimeEdit;

namespace rv8::app {

class TInitMode2 final : public QDialog {
    Q_OBJECT

public:
    explicit TInitMode2(comm::UserPrompts& prompts, QWidget* parent = nullptr);

    // Shows the window modally; true when a time was set (not cancelled).
    bool AskClock();
    bool ClockCancelled() const { return m_cancelled; }
    const comm::TClockValues& Values() const { return m_values; }

    QDateEdit* DateEdit() const { return m_date; }
    QTimeEdit* TimeEdit() const { return m_time; }
    QPushButton* SetButton() const { return m_set; }
    QPushButton* CancelButton() const { return m_cancel; }

    void SetBClick();
    void CancelBClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    comm::UserPrompts& m_prompts;
    comm::TClockValues m_values;
    bool m_cancelled = true;
    QDateEdit* m_date;
    QTimeEdit* m_time;
    QPushButton* m_set;
    QPushButton* m_cancel;
};

}  // namespace rv8::app
