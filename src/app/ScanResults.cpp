#include "app/ScanResults.h"

#include "files/RegValues.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace rv8::app {

namespace {

// A small starter front: a box with a display and three lamps.
QPixmap StarterPicture()
{
    QPixmap pixmap(64, 80);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(70, 80, 95));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(4, 4, 56, 72, 6, 6);
    p.setBrush(QColor(120, 200, 140));
    p.drawRect(12, 14, 40, 16);
    const QColor lamps[] = {QColor(80, 220, 80), QColor(240, 200, 60), QColor(230, 70, 60)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(18 + 14 * i, 46), 4, 4);
    }
    return pixmap;
}

}  // namespace

TWinV::TWinV(comm::ProgramOptions& options, const files::SettingsLocation& location, QWidget* parent)
    : QDialog(parent), m_options(options), m_reg(QString::fromLatin1(files::reg::kSetupKey), location)
{
    setWindowTitle(QStringLiteral("Scan Results"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Automatic Scanning Results:"), this));
    auto* body = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(StarterPicture());
    body->addWidget(picture);
    auto* grid = new QGridLayout;
    m_series = new QLabel(this);
    m_firmware = new QLabel(this);
    grid->addWidget(new QLabel(QStringLiteral("Series:"), this), 0, 0);
    grid->addWidget(m_series, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Firmware Version:"), this), 1, 0);
    grid->addWidget(m_firmware, 1, 1);
    body->addLayout(grid);
    layout->addLayout(body);
    auto* bottom = new QHBoxLayout;
    m_hide = new QCheckBox(QStringLiteral("Hide Dialog"), this);
    m_hide->setToolTip(QStringLiteral("Check to hide dialog next time."));
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    bottom->addWidget(m_hide);
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    connect(m_close, &QPushButton::clicked, this, [this] { CloseBClick(); });
}

void TWinV::SetFirmwareText(const QString& text) { m_firmware->setText(text); }

void TWinV::SetSeriesText(const QString& text) { m_series->setText(text); }

void TWinV::ShowResults()
{
    m_hide->setChecked(!m_options.L12);
    exec();
}

void TWinV::CloseBClick()
{
    m_options.L12 = !m_hide->isChecked();
    m_reg.Write(files::reg::setup::Option(&comm::ProgramOptions::L12), m_options.L12);
    accept();
}

}  // namespace rv8::app
