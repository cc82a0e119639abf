// rv8 sim: runs the simulated RV8 starter until SIGINT or SIGTERM.
#include "Command.h"

#include "param/Models.h"
#include "sim/SimulatedStarter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>
#include <csignal>

namespace rv8::cli {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;
extern "C" void OnStopSignal(int) { g_stopRequested = 1; }

bool ParseHostPort(const QString& text, QHostAddress& host, quint16& port)
{
    const int colon = static_cast<int>(text.lastIndexOf(':'));
    if (colon <= 0)
        return false;
    QString h = text.left(colon);
    if (h.startsWith('[') && h.endsWith(']'))
        h = h.mid(1, h.size() - 2);
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (!ok || p > 65535)
        return false;
    if (h.compare("localhost", Qt::CaseInsensitive) == 0)
        host = QHostAddress::LocalHost;
    else if (!host.setAddress(h))
        return false;
    port = static_cast<quint16>(p);
    return true;
}

int RunSim(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs the simulated RV8 starter, a Modbus slave, until it is stopped (Ctrl+C or SIGTERM).\n"
        "Without a medium it serves Modbus TCP on 127.0.0.1:5020. Port 0 picks a free port.");
    parser.addHelpOption();
    const QCommandLineOption tcp("tcp", "Serve Modbus TCP on HOST:PORT.", "HOST:PORT");
    const QCommandLineOption rtuTcp("rtu-tcp", "Serve RTU frames over TCP on HOST:PORT.", "HOST:PORT");
    const QCommandLineOption serial("serial", "Serve on the serial DEVICE (RTU unless --ascii).", "DEVICE");
    const QCommandLineOption baud("baud", "Serial baud rate (default 9600).", "N", "9600");
    const QCommandLineOption parity("parity", "Serial parity: none, even or odd (default none).", "PARITY", "none");
    const QCommandLineOption stop("stop", "Serial stop bits: 1 or 2 (default 1).", "BITS", "1");
    const QCommandLineOption ascii("ascii", "Modbus ASCII on the serial device.");
    const QCommandLineOption nodes("nodes", "Node addresses, comma separated (default 1).", "LIST", "1");
    const QCommandLineOption model("model", "Model code (the frame rating the starter reports) or name such as RV8-150 (default 150).", "M", "150");
    const QCommandLineOption firmware("firmware", "Firmware number, e.g. 401 (default 401).", "F", "401");
    const QCommandLineOption noReply("no-reply", "Fault: carry out requests but send no reply.");
    const QCommandLineOption badChecksum("bad-checksum", "Fault: spoil the CRC (RTU) or LRC (ASCII) of replies.");
    const QCommandLineOption wrongAddress("wrong-address", "Fault: replies name another node.");
    const QCommandLineOption staleTid("stale-tid", "Fault: Modbus TCP replies carry the previous transaction identifier.");
    const QCommandLineOption exception("exception", "Fault: refuse every request with exception CODE.", "CODE");
    const QCommandLineOption delay("delay-ms", "Fault: delay every reply by N milliseconds.", "N");
    const QCommandLineOption surplus("surplus", "Fault: append N surplus bytes to every reply.", "N");
    const QCommandLineOption echo("echo", "Fault: on a serial device, send the request back before the reply.");
    parser.addOptions({tcp, rtuTcp, serial, baud, parity, stop, ascii, nodes, model, firmware, noReply, badChecksum,
                       wrongAddress, staleTid, exception, delay, surplus, echo});
    if (!parser.parse(args)) {
        err << "rv8 sim: " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "rv8 sim: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return 2;
    }
    auto fail = [&err](const QString& text) {
        err << "rv8 sim: " << text << "\n";
        return 2;
    };
    const int media = int(parser.isSet(tcp)) + int(parser.isSet(rtuTcp)) + int(parser.isSet(serial));
    if (media > 1)
        return fail("choose one of --tcp, --rtu-tcp and --serial");

    auto number = [&parser](const QCommandLineOption& o, int low, int high, int& value) {
        bool ok = false;
        value = parser.value(o).toInt(&ok);
        return ok && value >= low && value <= high;
    };

    rv8::sim::SimulatedStarter::Config config;
    if (!number(model, 0, 65535, config.modelCode)) {
        // A model's short name ("RV8-150") stands for the highest code of that model.
        config.modelCode = rv8::param::ModelCodeOfName(parser.value(model).trimmed().toStdString());
        if (config.modelCode < 0)
            return fail(QStringLiteral("--model needs a model code or name, e.g. 150 or RV8-150; '%1' is neither")
                            .arg(parser.value(model)));
    }
    if (!number(firmware, 0, 65535, config.firmware))
        return fail("--firmware needs a firmware number, e.g. 401");
    config.nodes.clear();
    for (const QString& part : parser.value(nodes).split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 247)
            return fail(QStringLiteral("node address '%1' is not in 1..247").arg(part.trimmed()));
        config.nodes.push_back(static_cast<uint8_t>(n));
    }
    config.nodeOptions.clockStart = QDateTime::currentDateTime();

    rv8::sim::FaultSwitches faults;
    faults.noReply = parser.isSet(noReply);
    faults.badChecksum = parser.isSet(badChecksum);
    faults.wrongAddress = parser.isSet(wrongAddress);
    faults.staleTransactionId = parser.isSet(staleTid);
    faults.echo = parser.isSet(echo);
    int value = 0;
    if (parser.isSet(exception)) {
        if (!number(exception, 1, 255, value))
            return fail("--exception needs a code 1..255");
        faults.exceptionCode = static_cast<uint8_t>(value);
    }
    if (parser.isSet(delay)) {
        if (!number(delay, 0, 600000, value))
            return fail("--delay-ms needs milliseconds 0..600000");
        faults.replyDelayMs = value;
    }
    if (parser.isSet(surplus)) {
        if (!number(surplus, 0, 1000, value))
            return fail("--surplus needs a byte count 0..1000");
        faults.surplusBytes = value;
    }

    QString error;
    auto sim = rv8::sim::SimulatedStarter::Create(config, &error);
    if (!sim)
        return fail(error);
    sim->SetFaults(faults);

    QString where;
    if (parser.isSet(serial)) {
        rv8::sim::SerialSettings s;
        s.device = parser.value(serial);
        s.ascii = parser.isSet(ascii);
        if (!number(baud, 1, 4000000, s.baud))
            return fail("--baud needs a positive baud rate");
        const QString p = parser.value(parity).toLower();
        if (p == "none")
            s.parity = QSerialPort::NoParity;
        else if (p == "even")
            s.parity = QSerialPort::EvenParity;
        else if (p == "odd")
            s.parity = QSerialPort::OddParity;
        else
            return fail("--parity is none, even or odd");
        const QString st = parser.value(stop);
        if (st == "1")
            s.stopBits = QSerialPort::OneStop;
        else if (st == "2")
            s.stopBits = QSerialPort::TwoStop;
        else
            return fail("--stop is 1 or 2");
        if (!sim->OpenSerial(s, &error))
            return fail(error);
        where = QStringLiteral("%1 on %2 at %3 baud").arg(MediumName(s.ascii ? rv8::sim::Medium::SerialAscii
                                                                               : rv8::sim::Medium::SerialRtu),
                                                        s.device)
                    .arg(s.baud);
    } else {
        if (parser.isSet(ascii))
            return fail("--ascii needs --serial");
        const bool rtu = parser.isSet(rtuTcp);
        const QString text = rtu ? parser.value(rtuTcp) : parser.isSet(tcp) ? parser.value(tcp) : "127.0.0.1:5020";
        QHostAddress host;
        quint16 port = 0;
        if (!ParseHostPort(text, host, port))
            return fail(QStringLiteral("'%1' is not HOST:PORT").arg(text));
        const auto medium = rtu ? rv8::sim::Medium::RtuOverTcp : rv8::sim::Medium::ModbusTcp;
        if (!sim->ListenTcp(medium, host, port, &error))
            return fail(error);
        const QString h = host.protocol() == QAbstractSocket::IPv6Protocol ? "[" + host.toString() + "]" : host.toString();
        where = QStringLiteral("%1 on %2:%3").arg(MediumName(medium), h).arg(sim->TcpPort());
    }

    QStringList nodeTexts;
    for (uint8_t n : sim->NodeAddresses())
        nodeTexts << QString::number(n);
    out << "rv8 sim: serving " << where << ", nodes " << nodeTexts.join(',') << ", model " << config.modelCode
        << ", firmware " << config.firmware << "\n";
    out.flush();

    g_stopRequested = 0;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (g_stopRequested)
            QCoreApplication::quit();
    });
    watch.start(50);
    const int status = QCoreApplication::exec();
    sim->Close();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    out << "rv8 sim: stopped\n";
    return status;
}

const CommandRegistration kRegistration{
    {"sim", "run the simulated RV8 starter (a Modbus slave) until stopped", RunSim}};

}  // namespace

}  // namespace rv8::cli
