#include "app/NetScanWindow.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace rv8::app {

TNetScanWindow::TNetScanWindow(comm::TNetScan& scan, const comm::ProgramOptions& options,
                               comm::INetworkTreeView* tree, QWidget* parent)
    : QDialog(parent), m_scan(scan), m_options(options), m_tree(tree)
{
    setWindowTitle(QStringLiteral("Scan Network..."));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_address = new QLCDNumber(3, this);
    m_address->setSegmentStyle(QLCDNumber::Flat);
    m_maximum = new QLabel(this);
    m_found = new QLabel(QStringLiteral("0"), this);
    form->addRow(QStringLiteral("Node Address:"), m_address);
    form->addRow(QStringLiteral("Maximum Node to Scan:"), m_maximum);
    form->addRow(QStringLiteral("Nodes Found:"), m_found);
    layout->addLayout(form);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_list = new QListWidget(this);
    layout->addWidget(m_list);
    m_cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    layout->addWidget(m_cancelButton, 0, Qt::AlignHCenter);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelBClick(); });

    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TNetScanWindow::ScanNetwork() { exec(); }

void TNetScanWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_busy) {
        ++m_scan.Transfer().Context().Shell().BusyCount;
        m_busy = true;
    }
    const int highest = std::clamp(m_options.NSC, 1, comm::kNetworkNodeCount);
    m_maximum->setText(QString::number(highest));
    m_found->setText(QStringLiteral("0"));
    m_list->clear();
    m_cancel = false;
    m_timer.start();
}

void TNetScanWindow::done(int result)
{
    // "&Cancel", Esc and closing the window all stop the scan before its next address.
    if (result == QDialog::Rejected)
        m_cancel = true;
    m_timer.stop();
    if (m_busy) {
        --m_scan.Transfer().Context().Shell().BusyCount;
        m_busy = false;
    }
    QDialog::done(result);
}

void TNetScanWindow::Timer1Timer()
{
    const int highest = std::clamp(m_options.NSC, 1, comm::kNetworkNodeCount);
    m_scan.ScanNetwork(highest, &m_cancel, this, m_tree);
    // Cancelled: the window has closed already.
    if (!m_cancel && isVisible())
        accept();
}

void TNetScanWindow::CancelBClick()
{
    m_cancel = true;
    reject();
}

void TNetScanWindow::SetScanMaximum(int highest) { m_progress->setRange(0, highest); }

void TNetScanWindow::ShowAddress(int address)
{
    m_address->display(comm::NodeText(address));
    m_progress->setValue(address);
}

void TNetScanWindow::ResetProgress() { m_progress->setValue(0); }

void TNetScanWindow::ShowFoundCount(int count) { m_found->setText(QString::number(count)); }

void TNetScanWindow::AddFoundLine(const QString& line)
{
    m_list->addItem(line);
    m_list->scrollToBottom();
}

}  // namespace rv8::app
