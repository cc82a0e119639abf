#include "app/WelcomePage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>

namespace rv8::app {

TWelcomePage::TWelcomePage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WelcomePage"));
    const char* captions[4] = {"New project", "Open project", "Parameter overview", "Help document"};
    const char* hints[4] = {"Start a new project", "Open an existing project file",
                            "Show the parameters in program memory", "Open the help document"};
    for (int i = 0; i < 4; ++i) {
        auto* spot = new QPushButton(QString::fromLatin1(captions[i]), this);
        spot->setToolTip(QString::fromLatin1(hints[i]));
        spot->setCursor(Qt::PointingHandCursor);
        spot->setFlat(true);
        spot->setFixedSize(250, 40);
        spot->setStyleSheet(QStringLiteral(
            "QPushButton { color: white; font-size: 15px; font-weight: bold; text-align: left; padding-left: 14px;"
            " border: 1px solid rgba(255,255,255,90); border-radius: 6px; background: rgba(255,255,255,25); }"
            "QPushButton:hover { background: rgba(255,255,255,70); }"));
        m_spots[static_cast<std::size_t>(i)] = spot;
    }
    connect(m_spots[0], &QPushButton::clicked, this, &TWelcomePage::newProjectClicked);
    connect(m_spots[1], &QPushButton::clicked, this, &TWelcomePage::openProjectClicked);
    connect(m_spots[2], &QPushButton::clicked, this, &TWelcomePage::parameterOverviewClicked);
    connect(m_spots[3], &QPushButton::clicked, this, &TWelcomePage::helpDocumentClicked);
}

QPoint TWelcomePage::HotSpotPosition(int index, int pageWidth, int pageHeight)
{
    // Halves round to even, like the rest of the program's rounding.
    const auto half = [](int v) { return static_cast<int>(std::nearbyint(v / 2.0)); };
    return {half(pageWidth - kPictureWidth) + kSpotLeft,
            half(pageHeight - kPictureHeight) + kSpotTops[static_cast<std::size_t>(index)]};
}

void TWelcomePage::placeSpots()
{
    for (int i = 0; i < 4; ++i)
        m_spots[static_cast<std::size_t>(i)]->move(HotSpotPosition(i, width(), height()));
}

void TWelcomePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeSpots();
}

void TWelcomePage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0x1d, 0x2b, 0x3a));
    const QPoint origin = HotSpotPosition(0, width(), height()) - QPoint(kSpotLeft, kSpotTops[0]);
    const QRect picture(origin, QSize(kPictureWidth, kPictureHeight));
    QLinearGradient sky(picture.topLeft(), picture.bottomRight());
    sky.setColorAt(0, QColor(0x0f, 0x4c, 0x81));
    sky.setColorAt(1, QColor(0x13, 0x2a, 0x45));
    p.fillRect(picture, sky);

    // A stylised starter: cabinet, display and three phase bars.
    const QRect cabinet(origin + QPoint(110, 150), QSize(300, 360));
    p.setPen(QPen(QColor(255, 255, 255, 160), 2));
    p.setBrush(QColor(0x2f, 0x3f, 0x52));
    p.drawRoundedRect(cabinet, 14, 14);
    p.setBrush(QColor(0x9b, 0xd3, 0x6a));
    p.drawRoundedRect(QRect(cabinet.topLeft() + QPoint(40, 40), QSize(220, 70)), 6, 6);
    p.setPen(QColor(0x1d, 0x2b, 0x3a));
    QFont lcd = font();
    lcd.setPixelSize(34);
    lcd.setBold(true);
    p.setFont(lcd);
    p.drawText(QRect(cabinet.topLeft() + QPoint(40, 40), QSize(220, 70)), Qt::AlignCenter, QStringLiteral("RV8"));
    const QColor phases[3] = {QColor(0xe0, 0x5a, 0x47), QColor(0xf2, 0xc1, 0x4e), QColor(0x4e, 0xa8, 0xde)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(phases[i]);
        p.drawRoundedRect(QRect(cabinet.topLeft() + QPoint(55 + i * 75, 150), QSize(40, 170)), 8, 8);
    }

    p.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(origin + QPoint(480, 40), QSize(500, 50)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("RV8 Tool Software"));
    QFont sub = font();
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRect(origin + QPoint(482, 92), QSize(500, 30)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Configuration, monitoring and diagnostics for RV8 soft starters"));
    p.drawText(QRect(origin + QPoint(kSpotLeft, 140), QSize(300, 30)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Get started"));
}

}  // namespace rv8::app
