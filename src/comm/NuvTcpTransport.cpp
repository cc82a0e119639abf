#include "NuvTcpTransport.h"

#include "NuvSerialTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

namespace rv8::comm {

NuvTcpTransport::NuvTcpTransport(const TNuvModbus_Settings& settings)
    : m_host(settings.GetTcpHost())
    , m_port(settings.GetTcpPort())
    , m_connectTimeout(settings.Timeout.Connect)
{
}

NuvTcpTransport::~NuvTcpTransport() { Close(); }

bool NuvTcpTransport::Open()
{
    Close();
    auto socket = std::make_unique<QTcpSocket>();
    // Requests are small and answered one at a time: send each at once.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->connectToHost(m_host, m_port);
    if (!socket->waitForConnected(m_connectTimeout)) {
        socket->abort();
        return false;
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket = std::move(socket);
    return true;
}

bool NuvTcpTransport::IsOpen() const { return m_socket && m_socket->state() == QAbstractSocket::ConnectedState; }

bool NuvTcpTransport::DiscardInput()
{
    if (!m_socket)
        return false;
    m_socket->readAll();
    return true;
}

bool NuvTcpTransport::DiscardOutput() { return m_socket != nullptr; }

bool NuvTcpTransport::Write(const QByteArray& bytes)
{
    if (!IsOpen() || bytes.isEmpty())
        return false;
    if (m_socket->write(bytes) != bytes.size())
        return false;
    // Push the bytes to the system now; a short bounded wait covers a full send buffer.
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(std::max(m_connectTimeout, 1000)))
            return false;
    }
    return true;
}

qint64 NuvTcpTransport::BytesPending() { return m_socket ? m_socket->bytesAvailable() : 0; }

bool NuvTcpTransport::Read(QByteArray& bytes, qint64 maxBytes)
{
    bytes.clear();
    if (!m_socket)
        return false;
    bytes = m_socket->read(maxBytes);
    return true;
}

bool NuvTcpTransport::WaitForBytes(qint64 count, int timeoutMs)
{
    if (!m_socket)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (m_socket->bytesAvailable() < count) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || m_socket->state() != QAbstractSocket::ConnectedState)
            break;
        m_socket->waitForReadyRead(static_cast<int>(std::min<qint64>(5, left)));
        QCoreApplication::processEvents();
    }
    return m_socket && m_socket->bytesAvailable() >= count;
}

bool NuvTcpTransport::WaitForData(int timeoutMs)
{
    if (!IsOpen())
        return m_socket && m_socket->bytesAvailable() > 0;
    return m_socket->waitForReadyRead(timeoutMs);
}

bool NuvTcpTransport::Close()
{
    if (!m_socket)
        return true;
    bool ok = true;
    if (m_socket->state() != QAbstractSocket::UnconnectedState) {
        m_socket->disconnectFromHost();
        if (m_socket->state() != QAbstractSocket::UnconnectedState && !m_socket->waitForDisconnected(1000))
            ok = false;
    }
    m_socket->abort();
    m_socket.reset();
    return ok;
}

std::unique_ptr<NuvTransport> CreateSystemTransport(const TNuvModbus_Settings& settings)
{
    switch (settings.Medium) {
    case bmmModbusAscii:
    case bmmModbusRtu: return std::make_unique<NuvSerialTransport>(settings);
    case bmmModbusTcp:
    case bmmTcpIp: return std::make_unique<NuvTcpTransport>(settings);
    case bmmRadio: break;
    }
    return nullptr;
}

}  // namespace rv8::comm
