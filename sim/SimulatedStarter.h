#pragma once
// The simulated RV8 starter: a Modbus slave for one or several node addresses, served over
// Modbus TCP, RTU frames over TCP, or RTU or ASCII on a serial device. It runs on the Qt event loop
// of the thread that owns it (no threads of its own), so tests and the demo embed it and the
// `rv8 sim` command runs it on its own.
//
//   rv8::sim::SimulatedStarter::Config config;           // model 150, firmware 401, node 1
//   config.nodes = {1, 2, 5};
//   QString error;
//   auto sim = rv8::sim::SimulatedStarter::Create(config, &error);   // null: error says why
//   sim->ListenTcp(rv8::sim::Medium::ModbusTcp);          // port 0: a free port, see TcpPort()
//   rv8::sim::SerialSettings serial;
//   serial.device = "/dev/pts/7";
//   serial.ascii = true;
//   sim->OpenSerial(serial, &error);
//
// Every request that reaches the slave is logged (RequestLog); the fault switches spoil replies on
// purpose; Node() gives a node's register set for checks and set-up.

#include "sim/ParameterLayout.h"
#include "sim/SimClock.h"
#include "sim/SimFraming.h"
#include "sim/StarterNode.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace rv8::sim {

struct SerialSettings {
    QString device;  // any device path: /dev/ttyUSB0, one end of a socat pseudo-terminal pair
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    bool ascii = false;  // Modbus ASCII (7 data bits) instead of RTU (8 data bits)
};

// One request as the slave saw it.
struct LogEntry {
    Medium medium = Medium::ModbusTcp;
    uint8_t node = 0;
    uint8_t function = 0;
    uint16_t address = 0;          // first register (0 when the request has none)
    uint16_t count = 0;            // registers asked for or written
    std::vector<uint16_t> values;  // written values; for a read, the values returned
    uint8_t exception = 0;         // exception code of the reply, 0 for a normal reply
    bool answered = false;         // a reply frame was sent (not for unknown nodes, broadcasts, noReply)
    QByteArray request;            // the frame as received
    QByteArray reply;              // the frame as sent (faults included)
};

class SimulatedStarter : public QObject {
    Q_OBJECT
public:
    struct Config {
        int modelCode = 150;                 // the frame rating the starter reports (0: generic model)
        int firmware = 401;                  // a firmware number of the firmware table
        std::vector<uint8_t> nodes{1};       // node addresses 1..247
        std::optional<ParameterLayout> layout;  // instead of the catalogue's layout for model and firmware
        StarterNode::Options nodeOptions;    // write-access hold, motor cycle, clock start
        int64_t cycleStaggerMs = 2500;       // each further node runs this much later in the motor cycle
        std::shared_ptr<Clock> clock;        // null: wall time
        int gapMs = 50;                      // quiet time that ends an RTU frame of unknown length
    };

    // Builds the nodes; null with *error set when the model, firmware or node list is not valid.
    static std::unique_ptr<SimulatedStarter> Create(Config config, QString* error = nullptr, QObject* parent = nullptr);
    ~SimulatedStarter() override;

    // Listens for TCP connections: Medium::ModbusTcp or Medium::RtuOverTcp. Port 0 picks a free port.
    bool ListenTcp(Medium medium, const QHostAddress& host = QHostAddress::LocalHost, quint16 port = 0,
                   QString* error = nullptr);
    // The port of the most recent TCP listener (0 when none).
    quint16 TcpPort() const;
    // Serves RTU or ASCII on a serial device.
    bool OpenSerial(const SerialSettings& settings, QString* error = nullptr);
    // Stops listening and closes every connection and serial device.
    void Close();
    // Drops the open TCP connections but keeps listening (a starter behind a gateway that restarts).
    void DropConnections();

    std::vector<uint8_t> NodeAddresses() const;
    StarterNode* Node(uint8_t address);
    const ParameterLayout& Layout() const { return *m_layout; }
    Clock& GetClock() { return *m_clock; }

    FaultSwitches Faults() const { return m_faults; }
    void SetFaults(const FaultSwitches& faults) { m_faults = faults; }
    void ClearFaults() { m_faults = FaultSwitches{}; }

    const std::vector<LogEntry>& RequestLog() const { return m_log; }
    void ClearRequestLog() { m_log.clear(); }

signals:
    // A request was handled and logged at RequestLog()[index].
    void requestLogged(int index);

private:
    struct Channel;
    SimulatedStarter(Config config, std::shared_ptr<const ParameterLayout> layout, QObject* parent);

    void AddChannel(Medium medium, QIODevice* device);
    void RemoveChannel(QIODevice* device);
    void OnData(Channel& channel, bool atGap);
    void Handle(Channel& channel, const Request& request);
    FaultSwitches TakeFaults();

    Config m_config;
    std::shared_ptr<const ParameterLayout> m_layout;
    std::shared_ptr<Clock> m_clock;
    std::map<uint8_t, std::unique_ptr<StarterNode>> m_nodes;
    std::vector<std::pair<QTcpServer*, Medium>> m_servers;
    std::vector<std::unique_ptr<Channel>> m_channels;
    FaultSwitches m_faults;
    std::vector<LogEntry> m_log;
};

}  // namespace rv8::sim
