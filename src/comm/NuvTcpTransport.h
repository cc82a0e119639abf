#pragma once
// Modbus TCP and RTU frames over TCP through QTcpSocket.

#include "NuvTransport.h"

#include <QTcpSocket>

namespace rv8::comm {

class NuvTcpTransport final : public NuvTransport {
public:
    // Host (trimmed), port and connect timeout come from the settings.
    explicit NuvTcpTransport(const TNuvModbus_Settings& settings);
    ~NuvTcpTransport() override;

    bool Open() override;
    bool IsOpen() const override;
    bool DiscardInput() override;
    bool DiscardOutput() override;
    bool Write(const QByteArray& bytes) override;
    qint64 BytesPending() override;
    bool Read(QByteArray& bytes, qint64 maxBytes) override;
    bool WaitForBytes(qint64 count, int timeoutMs) override;
    bool WaitForData(int timeoutMs) override;
    bool Close() override;

private:
    QString m_host;
    uint16_t m_port;
    int m_connectTimeout;
    std::unique_ptr<QTcpSocket> m_socket;
};

}  // namespace rv8::comm
