#pragma once
// Enumerations of the Modbus client and the texts of its reply errors. Kept free of the
// transports so that the frame and reply-check code compiles on its own (the fuzz target).

#include <cstdint>
#include <initializer_list>

namespace rv8::comm {

enum TNuvModbus_Medium : uint8_t { bmmModbusAscii, bmmModbusRtu, bmmModbusTcp, bmmRadio, bmmTcpIp };

enum TNuvModbus_Option : uint8_t { bmoAllowIgnoreError, bmoAutoIgnoreError, bmoInvertErrorCheck };

// A set of options; bit n stands for option n.
class TNuvModbus_Options {
public:
    constexpr TNuvModbus_Options() = default;
    constexpr TNuvModbus_Options(std::initializer_list<TNuvModbus_Option> options)
    {
        for (auto o : options)
            m_bits = static_cast<uint8_t>(m_bits | (1u << o));
    }
    static constexpr TNuvModbus_Options FromBits(uint8_t bits)
    {
        TNuvModbus_Options o;
        o.m_bits = bits;
        return o;
    }
    constexpr bool Contains(TNuvModbus_Option o) const { return (m_bits & (1u << o)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr uint8_t Bits() const { return m_bits; }
    constexpr void Include(TNuvModbus_Option o) { m_bits = static_cast<uint8_t>(m_bits | (1u << o)); }
    constexpr void Exclude(TNuvModbus_Option o) { m_bits = static_cast<uint8_t>(m_bits & ~(1u << o)); }
    // Union of two sets.
    constexpr TNuvModbus_Options operator+(TNuvModbus_Options other) const { return FromBits(m_bits | other.m_bits); }
    constexpr bool operator==(const TNuvModbus_Options&) const = default;

private:
    uint8_t m_bits = 0;
};

enum TNuvModbus_SerialInterface : uint8_t { msiRs232, msiRs422, msiRs485 };
enum TNuvModbus_SerialParity : uint8_t { mspNone, mspEven, mspMark, mspOdd, mspSpace };
enum TNuvModbus_SerialStopBits : uint8_t { msbOne, msbOneAndOneHalf, msbTwo };
enum TNuvModbus_ErrorEventAction : uint8_t { meaAbort, meaIgnore, meaRetry };

// Values 1..17 are fatal (they go to the error decision at once); 18..24 are transient
// (retried first, up to the attempt limit).
enum TNuvModbus_CheckResponseError : uint8_t {
    bmeNone,
    bmeAscii_Lrc_Fatal,
    bmeData_Fatal,
    bmeDecodeAsciiAdu_Fatal,
    bmeEncodeAsciiAdu_Fatal,
    bmeExceptionCode_Fatal,
    bmeFunctionCode_Fatal,
    bmeIllegalDataAddress_Fatal,
    bmeIllegalDataValue_Fatal,
    bmeIllegalFunction_Fatal,
    bmeMedium_Fatal,
    bmeRtu_Crc_Fatal,
    bmeRtu_SlaveAddress_Fatal,
    bmeSendRequest_Fatal,
    bmeSlaveDeviceFailure_Fatal,
    bmeTcp_Length_Fatal,
    bmeTcp_ProtocolIdentifier_Fatal,
    bmeTcp_UnitIdentifier_Fatal,
    bmeGatewayPathUnavailable_Transient,
    bmeGatewayTargetDeviceFailedToRespond_Transient,
    bmeMemoryParityError_Transient,
    bmeNegativeAcknowledge_Transient,
    bmeReceiveResponse_Transient,
    bmeSlaveDeviceBusy_Transient,
    bmeTcp_TransactionIdentifier_Transient,
};
inline constexpr int kNuvModbusErrorCount = 25;

constexpr bool IsFatalError(TNuvModbus_CheckResponseError e)
{
    return e >= bmeAscii_Lrc_Fatal && e <= bmeTcp_UnitIdentifier_Fatal;
}
constexpr bool IsTransientError(TNuvModbus_CheckResponseError e)
{
    return e >= bmeGatewayPathUnavailable_Transient && e <= bmeTcp_TransactionIdentifier_Transient;
}

// The user-facing text of an error ("" for bmeNone and for values outside the enumeration).
const char* ErrorText(TNuvModbus_CheckResponseError e);

}  // namespace rv8::comm
