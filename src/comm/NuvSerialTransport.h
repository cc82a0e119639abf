#pragma once
// RTU and ASCII on a serial port through QSerialPort.

#include "NuvTransport.h"

#include <QSerialPort>

namespace rv8::comm {

class NuvSerialTransport final : public NuvTransport {
public:
    // The device comes from settings.SerialDevice, else from the port number.
    explicit NuvSerialTransport(const TNuvModbus_Settings& settings);
    ~NuvSerialTransport() override;

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

    QString PortName() const { return m_portName; }

private:
    TNuvModbus_Settings m_settings;
    QString m_portName;
    std::unique_ptr<QSerialPort> m_port;
};

}  // namespace rv8::comm
