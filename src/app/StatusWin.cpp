#include "app/StatusWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace rv8::app {

TStatusWin::TStatusWin(bool& abortFlag, comm::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_abort(abortFlag), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Data Transfer"));
    // Always on top and without title-bar buttons: the transfer ends it, or "&Abort".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Transfer_Label"));
    m_label->setMinimumWidth(280);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_abortButton = new QPushButton(QStringLiteral("&Abort"), this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_abortButton, 0, Qt::AlignHCenter);
    connect(m_abortButton, &QPushButton::clicked, this, [this] { AbortBClick(); });
}

void TStatusWin::SetStatusMinMax(uint16_t Max1) { m_max = Max1; }

void TStatusWin::SetBar(uint16_t Bar1)
{
    const int position = comm::ProgressBarPosition(Bar1, m_max);
    if (position >= 0)
        m_bar->setValue(std::min(position, 100));
}

void TStatusWin::SetInfo(const QString& Inf) { m_label->setText(Inf); }

void TStatusWin::ShowProgress()
{
    m_hiddenByProgram = false;
    if (parentWidget()) {
        // Centred on the main window.
        const QRect r = parentWidget()->frameGeometry();
        adjustSize();
        move(r.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void TStatusWin::HideProgress()
{
    m_hiddenByProgram = true;
    hide();
}

void TStatusWin::AbortBClick() { m_abort = true; }

void TStatusWin::FormDeactivate()
{
    if (m_hiddenByProgram || m_asking || !isVisible())
        return;
    m_asking = true;
    raise();
    activateWindow();
    if (m_prompts.questionYesNo({}, QStringLiteral("Abort Data Transfer?"), comm::PromptKind::Confirmation)) {
        m_abort = true;
        HideProgress();
    }
    m_asking = false;
}

void TStatusWin::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // Only a real loss of focus asks: the window was the active one and is no longer.
    const bool active = isActiveWindow();
    const bool lost = m_wasActive && !active;
    m_wasActive = active;
    // A dialog of the program's own in front (the error question, a message of the transfer) is
    // part of the transfer, not a user turning away from it.
    QWidget* modal = QApplication::activeModalWidget();
    if (lost && (!modal || modal == this))
        FormDeactivate();
}

void TStatusWin::closeEvent(QCloseEvent* event)
{
    m_abort = true;
    m_hiddenByProgram = true;
    if (m_beep)
        m_beep();
    m_prompts.ask({comm::PromptKind::Confirmation, comm::PromptButtons::Ok, {}, QStringLiteral("Data Transfer Aborted")});
    event->accept();
}

void TStatusWin::keyPressEvent(QKeyEvent* event)
{
    // Esc would close the dialog behind the transfer's back; the close path above handles it.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace rv8::app
