#include "app/InitF.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rv8::app {

TInitMode::TInitMode(comm::UserPrompts& prompts, QWidget* parent) : QDialog(parent), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("System Clear / Factory Reset"));
    auto* layout = new QVBoxLayout(this);
    for (int c = comm::rcNone; c <= comm::rcClearKwh; ++c) {
        m_options[static_cast<std::size_t>(c)] = new QRadioButton(comm::ResetChoiceCaption(c), this);
        layout->addWidget(m_options[static_cast<std::size_t>(c)]);
    }
    auto* buttons = new QHBoxLayout;
    m_accept = new QPushButton(QStringLiteral("&Accept"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_accept, &QPushButton::clicked, this, [this] { AcceptBClick(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TInitMode::AskChoice()
{
    exec();
    return m_choice;
}

void TInitMode::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_choice = comm::rcNone;
    m_options[comm::rcNone]->setChecked(true);
}

void TInitMode::AcceptBClick()
{
    int chosen = comm::rcNone;
    for (int c = comm::rcNone; c <= comm::rcClearKwh; ++c)
        if (m_options[static_cast<std::size_t>(c)]->isChecked())
            chosen = c;
    m_choice = comm::ConfirmResetChoice(chosen, m_prompts);
    accept();
}

}  // namespace rv8::app
