#include "NuvSerialTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

namespace rv8::comm {

namespace {

// "ttyUSB10" after "ttyUSB9": compare the text part, then the number.
bool NaturalLess(const QString& a, const QString& b)
{
    auto split = [](const QString& s) {
        int i = static_cast<int>(s.size());
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::pair<QString, long>(s.left(i), i < s.size() ? s.mid(i).toLong() : -1);
    };
    return split(a) < split(b);
}

bool IsUsbPort(const QString& name) { return name.startsWith("ttyUSB") || name.startsWith("ttyACM"); }

}  // namespace

QStringList SystemSerialPorts()
{
    QStringList usb;
    QStringList other;
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        (IsUsbPort(name) ? usb : other).append(name);
    }
    std::sort(usb.begin(), usb.end(), NaturalLess);
    std::sort(other.begin(), other.end(), NaturalLess);
    QStringList ports;
    for (const auto& n : usb + other)
        ports.append(QSerialPortInfo(n).systemLocation());
    return ports;
}

QString SerialPortSystemName(uint16_t number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QStringList ports = SystemSerialPorts();
    if (number >= 1 && number <= ports.size())
        return ports.at(number - 1);
    return QStringLiteral("/dev/ttyS%1").arg(number > 0 ? number - 1 : 0);
#endif
}

NuvSerialTransport::NuvSerialTransport(const TNuvModbus_Settings& settings)
    : m_settings(settings)
    , m_portName(settings.SerialDevice.trimmed().isEmpty() ? SerialPortSystemName(settings.GetSerialPort())
                                                           : settings.SerialDevice.trimmed())
{
}

NuvSerialTransport::~NuvSerialTransport() { Close(); }

bool NuvSerialTransport::Open()
{
    Close();
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(m_portName);
    port->setBaudRate(static_cast<qint32>(m_settings.GetSerialBaud()));
    port->setParity(m_settings.GetSerialParity());
    port->setStopBits(m_settings.GetSerialStopBits());
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setDataBits(m_settings.Medium == bmmModbusAscii ? QSerialPort::Data7 : QSerialPort::Data8);
    if (!port->open(QIODevice::ReadWrite))
        return false;
    port->clear(QSerialPort::AllDirections);
    if (m_settings.GetSerialInterface())
        port->setRequestToSend(false);  // receiving until we send
    m_port = std::move(port);
    return true;
}

bool NuvSerialTransport::IsOpen() const { return m_port && m_port->isOpen(); }

bool NuvSerialTransport::DiscardInput() { return IsOpen() && m_port->clear(QSerialPort::Input); }

bool NuvSerialTransport::DiscardOutput() { return IsOpen() && m_port->clear(QSerialPort::Output); }

bool NuvSerialTransport::Write(const QByteArray& bytes)
{
    if (!IsOpen())
        return false;
    const bool rs485 = m_settings.GetSerialInterface();
    if (rs485)
        m_port->setRequestToSend(true);  // ports without the line (pseudo-terminals) refuse; harmless
    bool ok = m_port->write(bytes) == bytes.size();
    // Hand everything to the driver now: the reply wait must not find the request still queued.
    while (ok && m_port->bytesToWrite() > 0)
        ok = m_port->waitForBytesWritten(5000);
#ifdef Q_OS_UNIX
    // RS-485: the driver must have shifted out the last bit before the line is released.
    if (ok && rs485 && m_port->handle() >= 0)
        tcdrain(m_port->handle());
#endif
    if (rs485)
        m_port->setRequestToSend(false);
    m_port->clearError();
    return ok;
}

qint64 NuvSerialTransport::BytesPending() { return IsOpen() ? m_port->bytesAvailable() : 0; }

bool NuvSerialTransport::Read(QByteArray& bytes, qint64 maxBytes)
{
    bytes.clear();
    if (!IsOpen())
        return false;
    bytes = m_port->read(maxBytes);
    return m_port->error() == QSerialPort::NoError || m_port->error() == QSerialPort::TimeoutError;
}

bool NuvSerialTransport::WaitForBytes(qint64 count, int timeoutMs)
{
    if (!IsOpen())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (m_port && m_port->bytesAvailable() < count) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        m_port->waitForReadyRead(static_cast<int>(std::min<qint64>(5, left)));
        if (m_port->error() == QSerialPort::ResourceError)
            break;
        m_port->clearError();
        QCoreApplication::processEvents();
    }
    return m_port && m_port->bytesAvailable() >= count;
}

bool NuvSerialTransport::WaitForData(int timeoutMs)
{
    if (!IsOpen())
        return false;
    const bool got = m_port->bytesAvailable() > 0 || m_port->waitForReadyRead(timeoutMs);
    m_port->clearError();
    return got;
}

bool NuvSerialTransport::Close()
{
    if (!m_port)
        return true;
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Output);
        m_port->clear(QSerialPort::Input);
        m_port->close();
    }
    m_port.reset();
    return true;
}

}  // namespace rv8::comm
