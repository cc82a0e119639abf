#pragma once
// The line under the Modbus client. A transport only moves bytes: it knows nothing of frames,
// checksums or retries. Errors never leave it as exceptions; they come back as false.

#include "NuvModbusSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace rv8::comm {

class NuvTransport {
public:
    virtual ~NuvTransport() = default;

    // Opens the line with the settings the transport was made for.
    virtual bool Open() = 0;
    // Serial: the port is active. TCP: the connection is up.
    virtual bool IsOpen() const = 0;
    // Drops bytes received but not yet read / bytes not yet sent.
    virtual bool DiscardInput() = 0;
    virtual bool DiscardOutput() = 0;
    // Hands all bytes to the line; false when that failed.
    virtual bool Write(const QByteArray& bytes) = 0;
    // Bytes received and not yet read.
    virtual qint64 BytesPending() = 0;
    // Takes up to maxBytes of the pending bytes.
    virtual bool Read(QByteArray& bytes, qint64 maxBytes) = 0;
    // Waits until at least `count` bytes are pending or timeoutMs has passed, polling every few
    // milliseconds and processing events meanwhile. True when the count was reached.
    virtual bool WaitForBytes(qint64 count, int timeoutMs) = 0;
    // Waits up to timeoutMs for new bytes without processing events. True when some came.
    virtual bool WaitForData(int timeoutMs) = 0;
    // Releases the line (pending input is dropped); false when that raised an error.
    virtual bool Close() = 0;
};

// Makes the transport for the medium of the settings, not yet opened; nullptr when the
// medium has none (bmmRadio).
using TNuvModbus_TransportFactory = std::function<std::unique_ptr<NuvTransport>(const TNuvModbus_Settings&)>;

// The system's transports: QSerialPort for RTU and ASCII, QTcpSocket for Modbus TCP and RTU over TCP.
std::unique_ptr<NuvTransport> CreateSystemTransport(const TNuvModbus_Settings& settings);

// The serial ports of the system in the order port numbers count them (number 1 is the first):
// USB adapters (ttyUSB*, ttyACM*) first, then the other ports, each in natural order. On Windows
// a number n is simply COMn.
QStringList SystemSerialPorts();
// The system name of serial port `number` (1-based). Beyond the listed ports the number
// maps to /dev/ttyS<number-1> (COM<number> on Windows).
QString SerialPortSystemName(uint16_t number);

}  // namespace rv8::comm
