#pragma once
// Settings of the Modbus client (taken by Open) and the per-request settings a caller may pass.

#include "NuvModbusTypes.h"

#include <QSerialPort>
#include <QString>
#include <cstdint>

namespace rv8::comm {

struct TNuvModbus_Delay {
    uint16_t BetweenCommands = 0;  // ms waited before every send
    uint16_t TransientError = 0;   // ms waited after every failed attempt
};

struct TNuvModbus_Timeout {
    uint16_t Connect = 0;   // ms allowed for a TCP connection
    uint16_t Response = 0;  // ms allowed for a reply
};

struct TNuvModbus_Settings {
    bool Debugging;
    TNuvModbus_Delay Delay;
    uint8_t MaxAttempts;  // 0 = no limit
    TNuvModbus_Medium Medium;
    TNuvModbus_Options Options;
    uint32_t SerialBaud;
    bool SerialEcho;
    TNuvModbus_SerialInterface SerialInterface;
    TNuvModbus_SerialParity SerialParity;
    uint8_t SerialPort;  // 1 = the first serial port of the system (COM1)
    TNuvModbus_SerialStopBits SerialStopBits;
    QString TcpHost;
    uint16_t TcpPort;
    TNuvModbus_Timeout Timeout;
    // When not empty, the serial device to open by its system name or path (such as
    // /dev/ttyUSB0 or one end of a pseudo-terminal pair); SerialPort is then not used.
    QString SerialDevice;

    TNuvModbus_Settings() { Clear(); }
    void Clear();

    uint32_t GetSerialBaud() const { return SerialBaud; }
    // True only for the serial media: TCP lines do not echo.
    bool GetSerialEcho() const { return SerialEcho && (Medium == bmmModbusAscii || Medium == bmmModbusRtu); }
    bool GetSerialInterface() const { return SerialInterface == msiRs485; }
    QSerialPort::Parity GetSerialParity() const;
    QSerialPort::StopBits GetSerialStopBits() const;
    uint16_t GetSerialPort() const { return SerialPort; }
    QString GetTcpHost() const { return TcpHost.trimmed(); }
    uint16_t GetTcpPort() const { return TcpPort; }
};

// Built by the caller for one request; pass nullptr when none of it applies.
struct TNuvModbus_RequestSettings {
    bool Debugging;                                 // trace this request
    const bool* Cancel;                             // caller's cancel flag, or null
    bool ErrorWasIgnored;                           // out: the error decision answered meaIgnore
    uint8_t FunctionCode;                           // 1..127 replaces the operation's code; 0 keeps it
    uint8_t MaxAttempts;                            // 1..255 replaces the settings' limit; 0 keeps it
    TNuvModbus_Options Options;                     // added to the settings' options
    TNuvModbus_CheckResponseError ResponseError;    // out: the last attempt's result

    TNuvModbus_RequestSettings() { Clear(); }
    void Clear()
    {
        Debugging = false;
        Cancel = nullptr;
        ErrorWasIgnored = false;
        FunctionCode = 0;
        MaxAttempts = 0;
        Options = {};
        ResponseError = bmeNone;
    }
};

}  // namespace rv8::comm
