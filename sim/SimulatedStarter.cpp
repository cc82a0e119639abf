#include "SimulatedStarter.h"

#include "comm/NuvBytes.h"

#include <QTcpSocket>

namespace rv8::sim {

struct SimulatedStarter::Channel {
    Medium medium = Medium::ModbusTcp;
    QPointer<QIODevice> device;
    QByteArray buffer;
    QTimer gap;
};

namespace {

uint16_t PduWord(const QByteArray& pdu, int index)  // 0-based byte index
{
    return static_cast<uint16_t>((static_cast<uint8_t>(pdu.at(index)) << 8) | static_cast<uint8_t>(pdu.at(index + 1)));
}

// Function, address, count and written values of a request, for the log.
void DescribeRequest(const QByteArray& pdu, LogEntry& e)
{
    if (pdu.isEmpty())
        return;
    e.function = static_cast<uint8_t>(pdu.at(0));
    if (pdu.size() < 5)
        return;
    e.address = PduWord(pdu, 1);
    switch (e.function) {
    case 3: e.count = PduWord(pdu, 3); break;
    case 6:
        e.count = 1;
        e.values = {PduWord(pdu, 3)};
        break;
    case 16:
        e.count = PduWord(pdu, 3);
        for (int i = 6; i + 1 < pdu.size(); i += 2)
            e.values.push_back(PduWord(pdu, i));
        break;
    default: break;
    }
}

QByteArray ExceptionPdu(uint8_t function, uint8_t code)
{
    QByteArray pdu;
    comm::AppendByte(pdu, static_cast<uint8_t>(function | 0x80));
    comm::AppendByte(pdu, code);
    return pdu;
}

}  // namespace

std::unique_ptr<SimulatedStarter> SimulatedStarter::Create(Config config, QString* error, QObject* parent)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::unique_ptr<SimulatedStarter>();
    };
    if (config.nodes.empty())
        return fail(QStringLiteral("At least one node address is needed."));
    for (uint8_t n : config.nodes)
        if (n < 1 || n > 247)
            return fail(QStringLiteral("Node address %1 is outside 1..247.").arg(n));
    std::shared_ptr<const ParameterLayout> layout;
    if (config.layout) {
        layout = std::make_shared<const ParameterLayout>(*config.layout);
    } else {
        QString why;
        auto built = CatalogueLayout(config.modelCode, config.firmware, &why);
        if (!built)
            return fail(why);
        layout = std::make_shared<const ParameterLayout>(std::move(*built));
    }
    return std::unique_ptr<SimulatedStarter>(new SimulatedStarter(std::move(config), std::move(layout), parent));
}

SimulatedStarter::SimulatedStarter(Config config, std::shared_ptr<const ParameterLayout> layout, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_layout(std::move(layout)), m_clock(m_config.clock)
{
    if (!m_clock)
        m_clock = std::make_shared<SteadyClock>();
    int64_t offset = m_config.nodeOptions.cycleOffsetMs;
    for (uint8_t n : m_config.nodes) {
        if (m_nodes.count(n))
            continue;
        StarterNode::Options options = m_config.nodeOptions;
        options.cycleOffsetMs = offset;
        offset -= m_config.cycleStaggerMs;
        m_nodes[n] = std::make_unique<StarterNode>(n, m_layout, m_clock, options);
    }
}

SimulatedStarter::~SimulatedStarter() { Close(); }

std::vector<uint8_t> SimulatedStarter::NodeAddresses() const
{
    std::vector<uint8_t> out;
    for (const auto& [address, node] : m_nodes)
        out.push_back(address);
    return out;
}

StarterNode* SimulatedStarter::Node(uint8_t address)
{
    const auto it = m_nodes.find(address);
    return it == m_nodes.end() ? nullptr : it->second.get();
}

bool SimulatedStarter::ListenTcp(Medium medium, const QHostAddress& host, quint16 port, QString* error)
{
    if (IsSerial(medium)) {
        if (error)
            *error = QStringLiteral("%1 is not a TCP medium.").arg(MediumName(medium));
        return false;
    }
    auto* server = new QTcpServer(this);
    if (!server->listen(host, port)) {
        if (error)
            *error = QStringLiteral("Cannot listen on %1:%2: %3").arg(host.toString()).arg(port).arg(server->errorString());
        delete server;
        return false;
    }
    connect(server, &QTcpServer::newConnection, this, [this, server, medium] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                RemoveChannel(socket);
                socket->deleteLater();
            });
            AddChannel(medium, socket);
        }
    });
    m_servers.emplace_back(server, medium);
    return true;
}

quint16 SimulatedStarter::TcpPort() const
{
    return m_servers.empty() ? 0 : m_servers.back().first->serverPort();
}

bool SimulatedStarter::OpenSerial(const SerialSettings& settings, QString* error)
{
    auto* port = new QSerialPort(settings.device, this);
    // ASCII frames are 7-bit characters and go with 7 data bits; a device that cannot take 7 data
    // bits (a pseudo-terminal) carries them in 8.
    const bool ok = port->open(QIODevice::ReadWrite) && port->setBaudRate(settings.baud)
                    && ((settings.ascii && port->setDataBits(QSerialPort::Data7)) || port->setDataBits(QSerialPort::Data8))
                    && port->setParity(settings.parity) && port->setStopBits(settings.stopBits)
                    && port->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(settings.device, port->errorString());
        delete port;
        return false;
    }
    port->clear();
    // A device that goes away (an adapter unplugged, the other end of a pseudo-terminal pair
    // closed) is dropped instead of being polled in vain.
    connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::ResourceError)
            return;
        RemoveChannel(port);
        port->disconnect(this);
        port->close();
        port->deleteLater();
    });
    AddChannel(settings.ascii ? Medium::SerialAscii : Medium::SerialRtu, port);
    return true;
}

void SimulatedStarter::AddChannel(Medium medium, QIODevice* device)
{
    auto channel = std::make_unique<Channel>();
    channel->medium = medium;
    channel->device = device;
    channel->gap.setSingleShot(true);
    channel->gap.setInterval(m_config.gapMs);
    Channel* c = channel.get();
    connect(device, &QIODevice::readyRead, this, [this, c] { OnData(*c, false); });
    connect(&channel->gap, &QTimer::timeout, this, [this, c] { OnData(*c, true); });
    m_channels.push_back(std::move(channel));
    if (device->bytesAvailable() > 0)
        OnData(*c, false);
}

void SimulatedStarter::RemoveChannel(QIODevice* device)
{
    std::erase_if(m_channels, [device](const std::unique_ptr<Channel>& c) { return c->device == device; });
}

void SimulatedStarter::DropConnections()
{
    std::vector<QTcpSocket*> sockets;
    for (const auto& c : m_channels)
        if (auto* s = qobject_cast<QTcpSocket*>(c->device.data()))
            sockets.push_back(s);
    for (QTcpSocket* s : sockets) {
        RemoveChannel(s);
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}

void SimulatedStarter::Close()
{
    for (auto& [server, medium] : m_servers) {
        server->close();
        server->deleteLater();
    }
    m_servers.clear();
    std::vector<QPointer<QIODevice>> devices;
    for (const auto& c : m_channels)
        devices.push_back(c->device);
    m_channels.clear();
    for (auto& d : devices) {
        if (!d)
            continue;
        d->disconnect(this);
        if (auto* s = qobject_cast<QTcpSocket*>(d.data()))
            s->abort();
        else
            d->close();
        d->deleteLater();
    }
}

void SimulatedStarter::OnData(Channel& channel, bool atGap)
{
    if (!channel.device)
        return;
    channel.buffer.append(channel.device->readAll());
    // Handle may close the channel (never in this code, but a slot connected to requestLogged
    // could); keep a guard on the device.
    QPointer<QIODevice> device = channel.device;
    while (!channel.buffer.isEmpty()) {
        Request request;
        int consumed = 0;
        const ExtractResult r = ExtractRequest(channel.medium, channel.buffer, atGap, &request, &consumed);
        if (r == ExtractResult::NeedMore)
            break;
        channel.buffer.remove(0, consumed);
        if (r == ExtractResult::Frame)
            Handle(channel, request);
        if (!device)
            return;
    }
    if (channel.buffer.isEmpty() || atGap)
        channel.gap.stop();
    else
        channel.gap.start();
}

FaultSwitches SimulatedStarter::TakeFaults()
{
    if (!m_faults.Any() || m_faults.repliesAffected == 0)
        return FaultSwitches{};
    FaultSwitches active = m_faults;
    if (m_faults.repliesAffected > 0 && --m_faults.repliesAffected == 0)
        m_faults = FaultSwitches{};
    return active;
}

void SimulatedStarter::Handle(Channel& channel, const Request& request)
{
    LogEntry entry;
    entry.medium = channel.medium;
    entry.node = request.node;
    entry.request = request.raw;
    DescribeRequest(request.pdu, entry);

    auto log = [this](LogEntry&& e) {
        m_log.push_back(std::move(e));
        emit requestLogged(static_cast<int>(m_log.size()) - 1);
    };

    if (request.node == 0) {
        // Broadcast: every node carries out writes; nobody answers.
        if (entry.function == 6 || entry.function == 16)
            for (auto& [address, node] : m_nodes)
                node->Process(request.pdu);
        log(std::move(entry));
        return;
    }
    StarterNode* node = Node(request.node);
    if (!node) {
        log(std::move(entry));  // another starter's request: stay silent
        return;
    }

    const FaultSwitches faults = TakeFaults();
    const QByteArray pdu = faults.exceptionCode != 0 ? ExceptionPdu(entry.function, faults.exceptionCode)
                                                     : node->Process(request.pdu);
    if (pdu.size() >= 2 && (static_cast<uint8_t>(pdu.at(0)) & 0x80))
        entry.exception = static_cast<uint8_t>(pdu.at(1));
    else if (entry.function == 3)
        for (int i = 2; i + 1 < pdu.size(); i += 2)
            entry.values.push_back(PduWord(pdu, i));

    if (faults.noReply) {
        log(std::move(entry));
        return;
    }
    const QByteArray frame = FrameReply(channel.medium, request, pdu, faults);
    entry.reply = frame;
    entry.answered = true;
    if (faults.replyDelayMs > 0) {
        QTimer::singleShot(faults.replyDelayMs, this, [device = channel.device, frame] {
            if (device && device->isOpen())
                device->write(frame);
        });
    } else {
        channel.device->write(frame);
    }
    log(std::move(entry));
}

}  // namespace rv8::sim
