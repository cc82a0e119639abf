#include "NuvModbusSettings.h"

namespace rv8::comm {

void TNuvModbus_Settings::Clear()
{
    Debugging = false;
    Delay.BetweenCommands = 50;
    Delay.TransientError = 100;
    MaxAttempts = 5;
    Medium = bmmModbusRtu;
    Options = {};
    SerialBaud = 9600;
    SerialEcho = false;
    SerialInterface = msiRs232;
    SerialParity = mspNone;
    SerialPort = 1;
    SerialStopBits = msbOne;
    TcpHost = QStringLiteral("127.0.0.1");
    TcpPort = 502;
    Timeout.Connect = 5000;
    Timeout.Response = 100;
    SerialDevice.clear();
}

QSerialPort::Parity TNuvModbus_Settings::GetSerialParity() const
{
    switch (SerialParity) {
    case mspEven: return QSerialPort::EvenParity;
    case mspMark: return QSerialPort::MarkParity;
    case mspOdd: return QSerialPort::OddParity;
    case mspSpace: return QSerialPort::SpaceParity;
    case mspNone: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits TNuvModbus_Settings::GetSerialStopBits() const
{
    switch (SerialStopBits) {
    case msbOneAndOneHalf: return QSerialPort::OneAndHalfStop;
    case msbTwo: return QSerialPort::TwoStop;
    case msbOne: break;
    }
    return QSerialPort::OneStop;
}

}  // namespace rv8::comm
