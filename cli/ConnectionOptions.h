#pragma once
// The connection options every device subcommand takes:
//   --tcp HOST:PORT | --rtu-tcp HOST:PORT | --serial DEVICE [--baud N] [--parity none|even|odd]
//   [--stop 1|2] [--ascii]   plus --node N, --delay-ms N, --timeout-ms N, --attempts N.
// Client defaults are the program's own: 100 ms between commands, 500 ms response timeout,
// twice the response timeout after a failed attempt, 5 attempts.

#include "comm/NuvModbusSettings.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <cstdint>

namespace rv8::cli {

class ConnectionOptions {
public:
    ConnectionOptions();
    // Adds the options to the parser (call before parsing).
    void AddTo(QCommandLineParser& parser) const;
    // Reads the parsed options into client settings and the node address. False with a
    // message naming the bad option when the input is not usable.
    bool Read(const QCommandLineParser& parser, comm::TNuvModbus_Settings& settings, uint8_t& node,
              QString& error) const;
    // The connection as the user named it, for messages ("127.0.0.1:502", "/dev/ttyUSB0").
    static QString Describe(const comm::TNuvModbus_Settings& settings);

    // "HOST:PORT" with an optional [IPv6] host; false when either part is missing or bad.
    static bool ParseHostPort(const QString& text, QString& host, uint16_t& port);

private:
    QCommandLineOption m_tcp;
    QCommandLineOption m_rtuTcp;
    QCommandLineOption m_serial;
    QCommandLineOption m_baud;
    QCommandLineOption m_parity;
    QCommandLineOption m_stop;
    QCommandLineOption m_ascii;
    QCommandLineOption m_node;
    QCommandLineOption m_delay;
    QCommandLineOption m_timeout;
    QCommandLineOption m_attempts;
};

}  // namespace rv8::cli
