#include "app/Passw.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rv8::app {

TPasswordDlg::TPasswordDlg(comm::TPasswordMode mode, comm::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Password Dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("PASSWORD (case sensitive):"), this));
    m_entry = new QLineEdit(this);
    m_entry->setEchoMode(QLineEdit::Password);
    m_entry->setMaxLength(comm::kPasswordMaxLength);
    layout->addWidget(m_entry);
    auto* buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_ok->setDefault(true);  // Enter in the entry acts as "&Ok"
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] { OkBClick(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPasswordDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_passed = false;
    m_entry->setFocus();
}

void TPasswordDlg::OkBClick()
{
    if (comm::PasswordAccepted(m_mode, m_entry->text())) {
        m_passed = true;
        accept();
        return;
    }
    if (m_beep)
        m_beep();
    m_prompts.warning({}, comm::kWrongPassword);
}

bool AskPassword(bool customMode, bool testMode, comm::UserPrompts& prompts, QWidget* parent,
                 std::function<void()> beep)
{
    TPasswordDlg dialog(comm::PasswordModeOf(customMode, testMode), prompts, parent);
    dialog.SetBeep(std::move(beep));
    dialog.exec();
    return dialog.PasswordPassed();
}

}  // namespace rv8::app
