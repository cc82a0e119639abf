#include "app/Splash.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include <cstdlib>
#include <exception>

namespace rv8::app {

QString ExceptionMessage(const QString& text)
{
    return QStringLiteral("EXCEPTION ERROR : ") + text + QStringLiteral(" Program Aborted!");
}

QString StartupFileFromArguments(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

bool TApplication::AppRunning = false;
std::function<void(const QString&)> TApplication::ShowMessage = [](const QString& message) {
    QMessageBox::critical(nullptr, QStringLiteral("RV8 Tool Software"), message);
};

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplication::Abort(const QString& text)
{
    AppRunning = false;
    if (ShowMessage)
        ShowMessage(ExceptionMessage(text));
    std::_Exit(EXIT_FAILURE);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Abort(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Abort(QStringLiteral("Unknown exception"));
    }
    return false;
}

TLoading::TLoading(const QStringList& arguments, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    m_startupFile = StartupFileFromArguments(arguments);
    m_exists = !m_startupFile.isEmpty() && QFileInfo(m_startupFile).isFile();
    setFixedSize(480, 280);
    m_label = new QLabel(QStringLiteral("Checking for updates, please wait..."), this);
    m_label->setStyleSheet(QStringLiteral("color: white;"));
    m_label->setGeometry(24, 240, 432, 24);
    m_label->hide();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TLoading::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, width(), height());
    fill.setColorAt(0, QColor(0x0f, 0x4c, 0x81));
    fill.setColorAt(1, QColor(0x13, 0x2a, 0x45));
    p.fillRect(rect(), fill);
    p.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(24, 70, width() - 48, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RV8 Tool Software"));
    QFont sub = font();
    sub.setPixelSize(15);
    p.setFont(sub);
    p.drawText(QRect(26, 120, width() - 48, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("RV8 Series soft starters"));
}

}  // namespace rv8::app
