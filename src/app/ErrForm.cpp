#include "ErrForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rv8::app {

TErrForm::TErrForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Error Detected"));
    setModal(true);

    m_banner = new QLabel(QStringLiteral("Communication Error"), this);
    m_banner->setAlignment(Qt::AlignCenter);
    m_banner->setAutoFillBackground(true);
    QPalette banner = m_banner->palette();
    banner.setColor(QPalette::Window, Qt::red);
    banner.setColor(QPalette::WindowText, Qt::white);
    m_banner->setPalette(banner);
    QFont bannerFont = m_banner->font();
    bannerFont.setBold(true);
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.4);
    m_banner->setFont(bannerFont);
    m_banner->setMinimumHeight(40);

    m_message = new QLabel(this);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(320);

    m_retry = new QPushButton(QStringLiteral("&Retry"), this);
    m_retry->setToolTip(QStringLiteral("Send command again"));
    m_ignore = new QPushButton(QStringLiteral("&Ignore"), this);
    m_ignore->setToolTip(QStringLiteral("Ignore error and continue"));
    m_abort = new QPushButton(QStringLiteral("&Abort"), this);
    m_abort->setToolTip(QStringLiteral("Abort transmission"));
    m_retry->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_retry);
    buttons->addWidget(m_ignore);
    buttons->addWidget(m_abort);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_banner);
    layout->addSpacing(8);
    layout->addWidget(m_message);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(m_retry, &QPushButton::clicked, this, &TErrForm::RetryClick);
    connect(m_ignore, &QPushButton::clicked, this, &TErrForm::IgnoreClick);
    connect(m_abort, &QPushButton::clicked, this, &TErrForm::AbortClick);
}

comm::TNuvModbus_ErrorEventAction TErrForm::Decide(const QString& Text, bool AllowIgnore)
{
    m_retryFlag = false;
    m_ignoreFlag = false;
    m_message->setText(Text);
    m_ignore->setEnabled(AllowIgnore);
    adjustSize();
    if (QWidget* owner = parentWidget())
        move(owner->window()->frameGeometry().center() - rect().center());
    // Esc and closing the window reject the dialog, which leaves both flags clear: Abort.
    exec();
    if (m_ignoreFlag && AllowIgnore)
        return comm::meaIgnore;
    if (m_retryFlag)
        return comm::meaRetry;
    return comm::meaAbort;
}

void TErrForm::RetryClick()
{
    m_retryFlag = true;
    accept();
}

void TErrForm::IgnoreClick()
{
    m_ignoreFlag = true;
    accept();
}

void TErrForm::AbortClick()
{
    m_retryFlag = false;
    reject();
}

}  // namespace rv8::app
