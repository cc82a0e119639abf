#pragma once
// TNuvModbus: the program's Modbus master. It frames a request for the selected medium, sends
// it through its transport, checks the reply field by field and runs the retry and
// error-decision loop. It knows nothing of parameters or windows: errors leave it through the
// error hook, whose answer (abort, ignore, retry) steers the loop. Used from one thread only;
// its waits process events, so requests may nest (see Busy()).

#include "NuvModbusFrame.h"
#include "NuvModbusSettings.h"
#include "NuvModbusTypes.h"
#include "NuvTransport.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <span>

namespace rv8::comm {

// Called for every error that reaches the error decision. `Action` comes in as meaAbort.
using TNuvModbus_ErrorEvent = std::function<void(TNuvModbus_CheckResponseError Error, const QString& Description,
                                                 bool AllowIgnore, TNuvModbus_ErrorEventAction& Action)>;
// Called with every request frame after it was sent.
using TNuvModbus_SendEvent = std::function<void(const QByteArray& Request)>;
// Called with every raw reply (echo removed) before it is checked.
using TNuvModbus_ReceiveEvent = std::function<void(const QByteArray& Response)>;

class TNuvModbus {
public:
    // The factory makes the transport on every Open; by default the system's serial port or
    // TCP socket. Tests hand in their own.
    explicit TNuvModbus(TNuvModbus_TransportFactory factory = CreateSystemTransport);
    ~TNuvModbus();
    TNuvModbus(const TNuvModbus&) = delete;
    TNuvModbus& operator=(const TNuvModbus&) = delete;

    // Closes the current transport, then opens one for the settings. False for bmmRadio, when
    // the line cannot be opened, and while a request is in progress.
    bool Open(const TNuvModbus_Settings& Settings);
    // True when nothing was open or the line was released; false only when closing a TCP
    // connection raised an error. While requests are in progress the close is deferred
    // until the last of them ends (and true is returned at once).
    bool Close();
    // Serial: the port is active. TCP: the connection is up.
    bool IsOpen() const;

    // One transaction with retries. Request is the PDU data after the function code,
    // DataLength the number of reply bytes expected after the function code. Returns the
    // error of the last attempt (bmeNone on success, and also when the request was cancelled
    // before it was sent); Data holds the reply data, empty on error.
    TNuvModbus_CheckResponseError HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode, const QByteArray& Request,
                                                int32_t DataLength, QByteArray& Data,
                                                TNuvModbus_RequestSettings* RequestSettings = nullptr);

    // Function code 3 for Values.size() registers (1..125; other counts send nothing and
    // return false). On success the words are stored in Values; otherwise Values is untouched.
    bool ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                              TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // One register; Value is 0 on failure.
    bool ReadHoldingRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t& Value,
                             TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 16 for Values.size() registers (1..123; other counts send nothing and
    // return false). Success needs the reply to echo the first register and the count.
    bool WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<const uint16_t> Values,
                                TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 16 with a count of 1: how the program writes a single register.
    bool WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                                TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 6; the reply must echo the request.
    bool WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                             TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 5; the reply must echo the request.
    bool WriteSingleCoil(uint8_t DeviceAddress, uint16_t CoilAddress, bool Value,
                         TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 22; the reply must echo the request.
    bool MaskWriteRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t AndMask, uint16_t OrMask,
                           TNuvModbus_RequestSettings* RequestSettings = nullptr);
    // Function code 8, sub-function 0; serial media only (false at once on TCP media).
    bool Diagnostics_ReturnQueryData(uint8_t DeviceAddress, uint16_t Data,
                                     TNuvModbus_RequestSettings* RequestSettings = nullptr);

    void SetOnError(TNuvModbus_ErrorEvent hook) { m_evtError = std::move(hook); }
    void SetOnSend(TNuvModbus_SendEvent hook) { m_evtSend = std::move(hook); }
    void SetOnReceive(TNuvModbus_ReceiveEvent hook) { m_evtReceive = std::move(hook); }

    // The settings taken by the last Open.
    const TNuvModbus_Settings& Settings() const { return m_bmsSettings; }
    // Number of requests in progress (nested through event processing in the waits).
    int Busy() const { return m_intBusy.load(); }
    bool ClosePending() const { return m_blnClosePending; }
    // The Modbus TCP transaction identifier the next request will carry.
    uint16_t TransactionIdentifier() const { return m_wrdTransactionIdentifier; }

private:
    enum class SendOutcome { Sent, Cancelled, Failed };
    SendOutcome Send(const QByteArray& frame, const bool* cancel);
    bool Receive(const QByteArray& frame, int dataLength, QByteArray& reply);
    void ResetTcpConnection();
    TNuvModbus_ErrorEventAction ErrorDecision(TNuvModbus_CheckResponseError error, TNuvModbus_Options options,
                                              TNuvModbus_RequestSettings* requestSettings);
    bool IsSerialMedium() const;
    bool IsTcpMedium() const;
    // Request and reply data must be equal byte for byte.
    bool EchoRequest(uint8_t deviceAddress, uint8_t functionCode, const QByteArray& request,
                     TNuvModbus_RequestSettings* requestSettings);

    bool m_blnClosePending = false;
    bool m_blnOpen = false;
    TNuvModbus_Settings m_bmsSettings;
    TNuvModbus_ErrorEvent m_evtError;
    TNuvModbus_ReceiveEvent m_evtReceive;
    TNuvModbus_SendEvent m_evtSend;
    std::atomic<int> m_intBusy{0};
    uint16_t m_wrdTransactionIdentifier = 0;
    TNuvModbus_TransportFactory m_factory;
    std::unique_ptr<NuvTransport> m_transport;
};

}  // namespace rv8::comm
