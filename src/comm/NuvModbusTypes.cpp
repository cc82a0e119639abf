#include "NuvModbusTypes.h"

namespace rv8::comm {

const char* ErrorText(TNuvModbus_CheckResponseError e)
{
    switch (e) {
    case bmeNone: return "";
    case bmeAscii_Lrc_Fatal: return "Invalid checksum in response.";
    case bmeData_Fatal: return "Not enough data in response.";
    case bmeDecodeAsciiAdu_Fatal: return "Improperly formatted response.";
    case bmeEncodeAsciiAdu_Fatal: return "Unable to format request.";
    case bmeExceptionCode_Fatal: return "Unknown error in response.";
    case bmeFunctionCode_Fatal: return "Incorrect function code in response.";
    case bmeIllegalDataAddress_Fatal: return "Illegal data address.";
    case bmeIllegalDataValue_Fatal: return "Illegal data value.";
    case bmeIllegalFunction_Fatal: return "Illegal function.";
    case bmeMedium_Fatal: return "Invalid medium selected.";
    case bmeRtu_Crc_Fatal: return "Invalid checksum in response.";
    case bmeRtu_SlaveAddress_Fatal: return "Incorrect device address in response.";
    case bmeSendRequest_Fatal: return "Unable to send request.";
    case bmeSlaveDeviceFailure_Fatal: return "Device failure.";
    case bmeTcp_Length_Fatal: return "Incorrect length in response.";
    case bmeTcp_ProtocolIdentifier_Fatal: return "Incorrect protocol identifier in response.";
    case bmeTcp_UnitIdentifier_Fatal: return "Incorrect unit identifier in response.";
    case bmeGatewayPathUnavailable_Transient: return "Gateway path unavailable.";
    case bmeGatewayTargetDeviceFailedToRespond_Transient: return "Gateway target device failed to respond.";
    case bmeMemoryParityError_Transient: return "Memory parity error.";
    case bmeNegativeAcknowledge_Transient: return "Negative acknowledge.";
    case bmeReceiveResponse_Transient: return "No response received.";
    case bmeSlaveDeviceBusy_Transient: return "Device busy.";
    case bmeTcp_TransactionIdentifier_Transient: return "Incorrect transaction identifier in response.";
    }
    return "";
}

}  // namespace rv8::comm
