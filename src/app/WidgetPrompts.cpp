#include "app/WidgetPrompts.h"

#include <QMessageBox>
#include <QPushButton>

namespace rv8::app {

using comm::PromptAnswer;
using comm::PromptButtons;
using comm::PromptKind;

QString WidgetPrompts::DefaultTitle(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information: return QStringLiteral("Information");
    case PromptKind::Warning: return QStringLiteral("Warning");
    case PromptKind::Error: return QStringLiteral("Error");
    case PromptKind::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

PromptAnswer WidgetPrompts::ask(const comm::Prompt& prompt)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(prompt.title.isEmpty() ? DefaultTitle(prompt.kind) : prompt.title);
    box.setText(prompt.text);
    switch (prompt.kind) {
    case PromptKind::Information: box.setIcon(QMessageBox::Information); break;
    case PromptKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptKind::Error: box.setIcon(QMessageBox::Critical); break;
    case PromptKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }

    struct Choice {
        PromptAnswer answer;
        QMessageBox::StandardButton button;
    };
    const Choice all[] = {{PromptAnswer::Yes, QMessageBox::Yes},
                          {PromptAnswer::No, QMessageBox::No},
                          {PromptAnswer::Ok, QMessageBox::Ok},
                          {PromptAnswer::Cancel, QMessageBox::Cancel}};
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : all) {
        if (comm::Offers(prompt.buttons, c.answer))
            buttons |= c.button;
    }
    box.setStandardButtons(buttons);
    const PromptAnswer dismiss = comm::DismissAnswer(prompt.buttons);
    for (const Choice& c : all) {
        if (c.answer == dismiss)
            box.setEscapeButton(c.button);
        if (c.answer == comm::AffirmAnswer(prompt.buttons))
            box.setDefaultButton(c.button);
    }

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : all) {
        if (clicked && clicked == box.button(c.button) && comm::Offers(prompt.buttons, c.answer))
            return c.answer;
    }
    return dismiss;
}

}  // namespace rv8::app
