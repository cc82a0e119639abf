#include "NuvModbus.h"

#include "NuvBytes.h"
#include "NuvWait.h"

#include <QDebug>
#include <algorithm>

namespace rv8::comm {

namespace {

// The serial receive buffer holds at most this many reply bytes.
constexpr qint64 kSerialReplyLimit = 1027;

void Trace(const QString& line) { qDebug().noquote() << line; }

}  // namespace

TNuvModbus::TNuvModbus(TNuvModbus_TransportFactory factory)
    : m_factory(std::move(factory))
{
}

TNuvModbus::~TNuvModbus()
{
    m_intBusy = 0;
    Close();
}

bool TNuvModbus::IsSerialMedium() const
{
    return m_bmsSettings.Medium == bmmModbusAscii || m_bmsSettings.Medium == bmmModbusRtu;
}

bool TNuvModbus::IsTcpMedium() const
{
    return m_bmsSettings.Medium == bmmModbusTcp || m_bmsSettings.Medium == bmmTcpIp;
}

bool TNuvModbus::Open(const TNuvModbus_Settings& Settings)
{
    // Replacing the transport under a request in progress would pull the line from under it.
    if (m_intBusy > 0)
        return false;
    if (!Close())
        return false;
    m_bmsSettings = Settings;
    if (!IsSerialMedium() && !IsTcpMedium())
        return false;
    std::unique_ptr<NuvTransport> transport = m_factory ? m_factory(m_bmsSettings) : nullptr;
    if (!transport || !transport->Open())
        return false;
    if (IsSerialMedium()) {
        transport->DiscardOutput();
        transport->DiscardInput();
    }
    m_transport = std::move(transport);
    m_blnOpen = true;
    return true;
}

bool TNuvModbus::Close()
{
    if (!m_blnOpen)
        return true;
    m_blnClosePending = false;
    if (m_intBusy > 0) {
        m_blnClosePending = true;
        return true;
    }
    m_blnOpen = false;
    m_intBusy = 0;
    bool ok = true;
    if (m_transport) {
        if (IsSerialMedium()) {
            m_transport->DiscardOutput();
            m_transport->DiscardInput();
            m_transport->Close();
        } else {
            ok = m_transport->Close();
        }
    }
    m_transport.reset();
    return ok;
}

bool TNuvModbus::IsOpen() const { return m_transport && m_transport->IsOpen(); }

void TNuvModbus::ResetTcpConnection()
{
    m_transport->Close();
    m_transport->DiscardInput();
    m_transport->Open();
}

TNuvModbus::SendOutcome TNuvModbus::Send(const QByteArray& frame, const bool* cancel)
{
    if (!m_blnOpen || !m_transport)
        return SendOutcome::Failed;
    CancellableWait(m_bmsSettings.Delay.BetweenCommands, cancel);
    if (cancel && *cancel)
        return SendOutcome::Cancelled;
    if (!m_blnOpen || !m_transport)
        return SendOutcome::Failed;
    bool ok = false;
    if (IsSerialMedium()) {
        ok = m_transport->DiscardInput() && m_transport->Write(frame);
    } else {
        ok = m_transport->IsOpen() && !frame.isEmpty() && m_transport->Write(frame);
        if (!ok)
            ResetTcpConnection();  // so that the next attempt finds a fresh connection
    }
    if (!ok)
        return SendOutcome::Failed;
    if (m_evtSend)
        m_evtSend(frame);
    return SendOutcome::Sent;
}

bool TNuvModbus::Receive(const QByteArray& frame, int dataLength, QByteArray& reply)
{
    reply.clear();
    if (!m_blnOpen || !m_transport)
        return false;
    const bool echo = m_bmsSettings.GetSerialEcho();
    const int expected = ExpectedReplyLength(m_bmsSettings.Medium, dataLength, echo, static_cast<int>(frame.size()));
    if (IsSerialMedium()) {
        m_transport->WaitForBytes(expected, m_bmsSettings.Timeout.Response);
        const qint64 available = std::min(m_transport->BytesPending(), kSerialReplyLimit);
        if (available <= 0 || !m_transport->Read(reply, available) || reply.isEmpty())
            return false;
    } else {
        if (m_transport->BytesPending() > 0) {
            // Bytes that came before the request was sent belong to an earlier exchange.
            m_transport->DiscardInput();
        } else if (m_transport->WaitForData(m_bmsSettings.Timeout.Response)) {
            if (!m_transport->Read(reply, m_transport->BytesPending()))
                return false;
        } else {
            m_transport->DiscardInput();
        }
        if (reply.size() > expected) {
            // Surplus bytes: keep the newest reply-sized tail and start the next exchange
            // on a clean connection.
            reply = reply.right(expected);
            m_transport->Close();
            m_transport->DiscardInput();
            m_transport->Open();
            m_transport->DiscardInput();
        }
    }
    if (echo)
        reply.remove(0, std::min(reply.size(), frame.size()));
    if (m_evtReceive)
        m_evtReceive(reply);
    return true;
}

TNuvModbus_ErrorEventAction TNuvModbus::ErrorDecision(TNuvModbus_CheckResponseError error, TNuvModbus_Options options,
                                                      TNuvModbus_RequestSettings* requestSettings)
{
    TNuvModbus_ErrorEventAction action = meaAbort;
    if (options.Contains(bmoAutoIgnoreError))
        action = meaIgnore;
    else if (m_evtError)
        m_evtError(error, QString::fromLatin1(ErrorText(error)), options.Contains(bmoAllowIgnoreError), action);
    if (action == meaIgnore && requestSettings)
        requestSettings->ErrorWasIgnored = true;
    return action;
}

TNuvModbus_CheckResponseError TNuvModbus::HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode,
                                                        const QByteArray& Request, int32_t DataLength,
                                                        QByteArray& Data, TNuvModbus_RequestSettings* RequestSettings)
{
    Data.clear();
    ++m_intBusy;
    int attempts = 0;

    TNuvModbus_RequestSettings* const rs = RequestSettings;
    if (rs && rs->FunctionCode >= 1 && rs->FunctionCode <= 127)
        FunctionCode = rs->FunctionCode;
    const TNuvModbus_Options options = m_bmsSettings.Options + (rs ? rs->Options : TNuvModbus_Options{});
    const bool traced = m_bmsSettings.Debugging || (rs && rs->Debugging);
    const int maxAttempts = (rs && rs->MaxAttempts > 0) ? rs->MaxAttempts : m_bmsSettings.MaxAttempts;
    const bool* const cancel = rs ? rs->Cancel : nullptr;
    const TNuvModbus_Medium medium = m_bmsSettings.Medium;
    const bool invert = options.Contains(bmoInvertErrorCheck);

    // Built once: every attempt sends the same frame (and the same transaction identifier).
    const QByteArray frame =
        BuildRequestFrame(medium, DeviceAddress, FunctionCode, Request, m_wrdTransactionIdentifier, invert);

    TNuvModbus_CheckResponseError result = bmeNone;
    bool ignored = false;
    for (;;) {
        switch (Send(frame, cancel)) {
        case SendOutcome::Cancelled: result = bmeNone; break;
        case SendOutcome::Failed: result = bmeSendRequest_Fatal; break;
        case SendOutcome::Sent:
            if (medium == bmmModbusAscii || medium == bmmModbusRtu || medium == bmmModbusTcp || medium == bmmTcpIp) {
                QByteArray reply;
                if (Receive(frame, DataLength, reply))
                    result = CheckReply(medium, invert, frame, reply, DataLength, Data);
                else
                    result = bmeReceiveResponse_Transient;
            } else {
                result = bmeMedium_Fatal;
            }
            break;
        }
        if (result != bmeNone)
            Data.clear();

        // Retry decision.
        if (rs)
            rs->ResponseError = result;
        if (result == bmeNone || m_blnClosePending)
            break;
        if (IsFatalError(result)) {
            const TNuvModbus_ErrorEventAction action = ErrorDecision(result, options, rs);
            if (action != meaRetry) {
                ignored = action == meaIgnore;
                break;
            }
            attempts = 0;
        }
        bool stop = false;
        if (maxAttempts > 0) {
            ++attempts;
            if (traced)
                Trace(QString::asprintf("*** Retry attempt %d of %d for error: %s", attempts, maxAttempts,
                                        ErrorText(result)));
            if (attempts >= maxAttempts) {
                const TNuvModbus_ErrorEventAction action = ErrorDecision(result, options, rs);
                if (action == meaRetry) {
                    attempts = 0;
                } else {
                    stop = true;
                    ignored = action == meaIgnore;
                }
            }
        }
        CancellableWait(m_bmsSettings.Delay.TransientError, cancel);
        if (stop || (cancel && *cancel))
            break;
    }

    if (medium == bmmModbusTcp)
        m_wrdTransactionIdentifier = static_cast<uint16_t>(m_wrdTransactionIdentifier + 1);
    if (result != bmeNone && traced)
        Trace(QString::fromLatin1(ignored ? "+++ Error (Ignored): " : "+++ Error: ") +
              QString::fromLatin1(ErrorText(result)));

    if (--m_intBusy < 0)
        m_intBusy = 0;
    if (m_blnClosePending)
        Close();
    return result;
}

bool TNuvModbus::ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                                      TNuvModbus_RequestSettings* RequestSettings)
{
    const auto n = Values.size();
    if (n < 1 || n > 125)
        return false;
    QByteArray request;
    AppendWord(request, FirstRegister);
    AppendWord(request, static_cast<uint16_t>(n));
    const int dataLength = static_cast<int>(1 + 2 * n);
    QByteArray data;
    if (HandleRequest(DeviceAddress, 3, request, dataLength, data, RequestSettings) != bmeNone)
        return false;
    int pos = 1;
    uint8_t byteCount = 0;
    if (data.size() != dataLength || !ReadByte(data, pos, byteCount) || byteCount != 2 * n)
        return false;
    for (auto& v : Values)
        ReadWord(data, pos, v);
    return true;
}

bool TNuvModbus::ReadHoldingRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t& Value,
                                     TNuvModbus_RequestSettings* RequestSettings)
{
    uint16_t v = 0;
    const bool ok = ReadHoldingRegisters(DeviceAddress, RegisterAddress, std::span<uint16_t>(&v, 1), RequestSettings);
    Value = ok ? v : 0;
    return ok;
}

bool TNuvModbus::WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister,
                                        std::span<const uint16_t> Values, TNuvModbus_RequestSettings* RequestSettings)
{
    const auto n = Values.size();
    if (n < 1 || n > 123)
        return false;
    QByteArray request;
    AppendWord(request, FirstRegister);
    AppendWord(request, static_cast<uint16_t>(n));
    AppendByte(request, static_cast<uint8_t>(2 * n));
    for (uint16_t v : Values)
        AppendWord(request, v);
    QByteArray data;
    if (HandleRequest(DeviceAddress, 16, request, 4, data, RequestSettings) != bmeNone)
        return false;
    int pos = 1;
    uint16_t first = 0;
    uint16_t count = 0;
    return ReadWord(data, pos, first) && ReadWord(data, pos, count) && first == FirstRegister && count == n;
}

bool TNuvModbus::WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                                        TNuvModbus_RequestSettings* RequestSettings)
{
    return WriteMultipleRegisters(DeviceAddress, RegisterAddress, std::span<const uint16_t>(&Value, 1),
                                  RequestSettings);
}

bool TNuvModbus::EchoRequest(uint8_t deviceAddress, uint8_t functionCode, const QByteArray& request,
                             TNuvModbus_RequestSettings* requestSettings)
{
    QByteArray data;
    if (HandleRequest(deviceAddress, functionCode, request, static_cast<int32_t>(request.size()), data,
                      requestSettings) != bmeNone)
        return false;
    // Exact comparison: a reply that differs from the request only in letter case (0x41 for
    // 0x61) did not echo what was written.
    return data == request;
}

bool TNuvModbus::WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                                     TNuvModbus_RequestSettings* RequestSettings)
{
    QByteArray request;
    AppendWord(request, RegisterAddress);
    AppendWord(request, Value);
    return EchoRequest(DeviceAddress, 6, request, RequestSettings);
}

bool TNuvModbus::WriteSingleCoil(uint8_t DeviceAddress, uint16_t CoilAddress, bool Value,
                                 TNuvModbus_RequestSettings* RequestSettings)
{
    QByteArray request;
    AppendWord(request, CoilAddress);
    AppendWord(request, Value ? 0xFF00 : 0x0000);
    return EchoRequest(DeviceAddress, 5, request, RequestSettings);
}

bool TNuvModbus::MaskWriteRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t AndMask,
                                   uint16_t OrMask, TNuvModbus_RequestSettings* RequestSettings)
{
    QByteArray request;
    AppendWord(request, RegisterAddress);
    AppendWord(request, AndMask);
    AppendWord(request, OrMask);
    return EchoRequest(DeviceAddress, 22, request, RequestSettings);
}

bool TNuvModbus::Diagnostics_ReturnQueryData(uint8_t DeviceAddress, uint16_t Data,
                                             TNuvModbus_RequestSettings* RequestSettings)
{
    if (IsTcpMedium())
        return false;
    QByteArray request;
    AppendWord(request, 0);
    AppendWord(request, Data);
    return EchoRequest(DeviceAddress, 8, request, RequestSettings);
}

}  // namespace rv8::comm
