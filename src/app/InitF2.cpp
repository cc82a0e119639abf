#include "app/InitF2.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace rv8::app {

TInitMode2::TInitMode2(comm::UserPrompts& prompts, QWidget* parent) : QDialog(parent), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Set System Real Time Clock"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_date = new QDateEdit(this);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_time = new QTimeEdit(this);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    form->addRow(QStringLiteral("Date:"), m_date);
    form->addRow(QStringLiteral("Time:"), m_time);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    m_set = new QPushButton(QStringLiteral("&Set"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_set);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_set, &QPushButton::clicked, this, [this] { SetBClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { CancelBClick(); });
}

bool TInitMode2::AskClock()
{
    exec();
    return !m_cancelled;
}

void TInitMode2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_values = comm::TClockValues{};
    const QDateTime now = QDateTime::currentDateTime();
    m_date->setDate(now.date());
    m_time->setTime(now.time());
    m_cancelled = true;
}

void TInitMode2::SetBClick()
{
    comm::TClockValues values = m_values;
    if (!comm::AcceptClockEntry(m_date->date(), m_time->time(), values, m_prompts))
        return;  // the range message was shown; the window stays
    m_values = values;
    m_cancelled = false;
    accept();
}

void TInitMode2::CancelBClick()
{
    m_cancelled = true;
    reject();
}

}  // namespace rv8::app
