#pragma once
// "Keypad": the placeholder of the starter's keypad. The keypad function is not part of this
// program, so the window is never shown, KeypadActive stays false, and the bus goes back to the
// polling windows in every polling cycle (comm::TKeypadBus).

#include "comm/DeviceCommands.h"

#include <QDialog>
#include <QTimer>

namespace rv8::app {

class TOperatorPanel final : public QDialog {
    Q_OBJECT

public:
    explicit TOperatorPanel(comm::TKeypadBus& bus = comm::KEYPAD_BUS, QWidget* parent = nullptr);

    // Once per polling cycle of every polling window, with its own trigger.
    void SynchronizeWithKeypad(bool& PanelTrigger) { m_bus.SynchronizeWithKeypad(PanelTrigger); }
    // The "&Panel (Keypad)" menu items: nothing to show.
    void DigitalOperator1Click(bool CallerIsActive, bool& PanelTrigger);
    // Called when a polling window closes: nothing to hide.
    void HideKeypad();

    comm::TKeypadBus& Bus() { return m_bus; }

private:
    comm::TKeypadBus& m_bus;
    QTimer m_timer;  // the keypad's refresh; never enabled
};

}  // namespace rv8::app
