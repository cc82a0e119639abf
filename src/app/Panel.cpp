#include "app/Panel.h"

namespace rv8::app {

TOperatorPanel::TOperatorPanel(comm::TKeypadBus& bus, QWidget* parent) : QDialog(parent), m_bus(bus)
{
    setWindowTitle(QStringLiteral("Keypad"));
    m_timer.setInterval(500);
}

void TOperatorPanel::DigitalOperator1Click(bool /*CallerIsActive*/, bool& /*PanelTrigger*/) {}

void TOperatorPanel::HideKeypad() {}

}  // namespace rv8::app
