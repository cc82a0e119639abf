#include "ConnectionOptions.h"

#include "comm/NuvTransport.h"

#include <algorithm>

namespace rv8::cli {

using namespace rv8::comm;

ConnectionOptions::ConnectionOptions()
    : m_tcp("tcp", "Modbus TCP to HOST:PORT.", "HOST:PORT")
    , m_rtuTcp("rtu-tcp", "RTU frames over TCP to HOST:PORT.", "HOST:PORT")
    , m_serial("serial", "Serial DEVICE (a path such as /dev/ttyUSB0, or a port number); RTU unless --ascii.",
               "DEVICE")
    , m_baud("baud", "Serial baud rate (default 9600).", "N", "9600")
    , m_parity("parity", "Serial parity: none, even or odd (default none).", "PARITY", "none")
    , m_stop("stop", "Serial stop bits: 1 or 2 (default 1).", "BITS", "1")
    , m_ascii("ascii", "Modbus ASCII on the serial device.")
    , m_node("node", "Modbus node address 0..255 (default 1).", "N", "1")
    , m_delay("delay-ms", "Milliseconds before every request (default 100).", "N", "100")
    , m_timeout("timeout-ms", "Milliseconds to wait for a reply (default 500); twice this after a failed attempt.",
                "N", "500")
    , m_attempts("attempts", "Attempts before a missing or busy reply is an error (default 5).", "N", "5")
{
}

void ConnectionOptions::AddTo(QCommandLineParser& parser) const
{
    parser.addOptions(
        {m_tcp, m_rtuTcp, m_serial, m_baud, m_parity, m_stop, m_ascii, m_node, m_delay, m_timeout, m_attempts});
}

bool ConnectionOptions::ParseHostPort(const QString& text, QString& host, uint16_t& port)
{
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0)
        return false;
    QString h = text.left(colon).trimmed();
    if (h.startsWith('[') && h.endsWith(']'))
        h = h.mid(1, h.size() - 2);
    else if (h.contains(':'))
        return false;  // a bare IPv6 address needs brackets
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (h.isEmpty() || !ok || p < 1 || p > 65535)
        return false;
    host = h;
    port = static_cast<uint16_t>(p);
    return true;
}

bool ConnectionOptions::Read(const QCommandLineParser& parser, TNuvModbus_Settings& settings, uint8_t& node,
                             QString& error) const
{
    settings.Clear();
    const int media = int(parser.isSet(m_tcp)) + int(parser.isSet(m_rtuTcp)) + int(parser.isSet(m_serial));
    if (media != 1) {
        error = media == 0 ? "name the connection with --tcp, --rtu-tcp or --serial"
                           : "choose one of --tcp, --rtu-tcp and --serial";
        return false;
    }
    auto number = [&parser](const QCommandLineOption& o, long long low, long long high, long long& value) {
        bool ok = false;
        value = parser.value(o).trimmed().toLongLong(&ok);
        return ok && value >= low && value <= high;
    };
    long long v = 0;

    if (parser.isSet(m_serial)) {
        settings.Medium = parser.isSet(m_ascii) ? bmmModbusAscii : bmmModbusRtu;
        const QString device = parser.value(m_serial).trimmed();
        bool isNumber = false;
        const uint n = device.toUInt(&isNumber);
        if (device.isEmpty() || (isNumber && (n < 1 || n > 255))) {
            error = "--serial needs a device path or a port number 1..255";
            return false;
        }
        if (isNumber)
            settings.SerialPort = static_cast<uint8_t>(n);
        else
            settings.SerialDevice = device;
        if (!number(m_baud, 50, 4000000, v)) {
            error = "--baud needs a baud rate such as 9600 or 19200";
            return false;
        }
        settings.SerialBaud = static_cast<uint32_t>(v);
        const QString parity = parser.value(m_parity).trimmed().toLower();
        if (parity == "none")
            settings.SerialParity = mspNone;
        else if (parity == "even")
            settings.SerialParity = mspEven;
        else if (parity == "odd")
            settings.SerialParity = mspOdd;
        else {
            error = "--parity must be none, even or odd";
            return false;
        }
        const QString stop = parser.value(m_stop).trimmed();
        if (stop == "1")
            settings.SerialStopBits = msbOne;
        else if (stop == "2")
            settings.SerialStopBits = msbTwo;
        else {
            error = "--stop must be 1 or 2";
            return false;
        }
    } else {
        if (parser.isSet(m_ascii) || parser.isSet(m_baud) || parser.isSet(m_parity) || parser.isSet(m_stop)) {
            error = "--ascii, --baud, --parity and --stop go with --serial";
            return false;
        }
        const bool modbusTcp = parser.isSet(m_tcp);
        settings.Medium = modbusTcp ? bmmModbusTcp : bmmTcpIp;
        QString host;
        uint16_t port = 0;
        if (!ParseHostPort(parser.value(modbusTcp ? m_tcp : m_rtuTcp), host, port)) {
            error = QString("--%1 needs HOST:PORT, e.g. 127.0.0.1:502").arg(modbusTcp ? "tcp" : "rtu-tcp");
            return false;
        }
        settings.TcpHost = host;
        settings.TcpPort = port;
    }

    if (!number(m_node, 0, 255, v)) {
        error = "--node needs a node address 0..255";
        return false;
    }
    node = static_cast<uint8_t>(v);
    if (!number(m_delay, 0, 65535, v)) {
        error = "--delay-ms needs a number of milliseconds 0..65535";
        return false;
    }
    settings.Delay.BetweenCommands = static_cast<uint16_t>(v);
    if (!number(m_timeout, 1, 32767, v)) {
        error = "--timeout-ms needs a number of milliseconds 1..32767";
        return false;
    }
    settings.Timeout.Response = static_cast<uint16_t>(v);
    settings.Delay.TransientError = static_cast<uint16_t>(std::min<long long>(2 * v, 65535));
    if (!number(m_attempts, 1, 255, v)) {
        error = "--attempts needs a number 1..255";
        return false;
    }
    settings.MaxAttempts = static_cast<uint8_t>(v);
    return true;
}

QString ConnectionOptions::Describe(const TNuvModbus_Settings& settings)
{
    switch (settings.Medium) {
    case bmmModbusTcp:
    case bmmTcpIp: return QString("%1:%2").arg(settings.GetTcpHost()).arg(settings.GetTcpPort());
    default: break;
    }
    return settings.SerialDevice.isEmpty() ? SerialPortSystemName(settings.GetSerialPort()) : settings.SerialDevice;
}

}  // namespace rv8::cli
