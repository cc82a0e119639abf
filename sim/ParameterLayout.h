#pragma once
// The parameter register map a simulated starter serves: one entry per parameter register with its
// range, default and access, plus the addresses that play special parts (revision, clock, fault
// history, write access, reset, and the settings the motor model follows). All figures are
// register figures: the value times the parameter's divisor, as they travel on the wire.

#include <QString>
#include <array>
#include <functional>
#include <cstdint>
#include <optional>
#include <vector>

namespace rv8::sim {

struct ParameterRegister {
    uint16_t address = 0;
    uint16_t minimum = 0;
    uint16_t maximum = 0;
    uint16_t defaultValue = 0;
    // A parameter that may also be switched off accepts this figure outside its range.
    std::optional<uint16_t> offValue;
    // Read-only registers refuse writes. The write-access, reset and clock registers are marked
    // read-only in the catalogue but the starter accepts writes to them; they are not read-only here.
    bool readOnly = false;
};

struct ParameterLayout {
    std::vector<ParameterRegister> parameters;  // ascending addresses

    uint16_t revisionAddress = 1081;         // holds the firmware number
    uint16_t faultHistoryAddress = 1085;     // nine registers: code, time, date for three faults
    uint16_t factoryPasswordAddress = 1072;  // reads the factory password; takes the write-access code
    uint16_t resetAddress = 1071;            // 1 clear timers, 2 factory defaults, 3 clear kWh
    // Year, month, day, hour, minute, second. Written without the write-access code.
    std::array<uint16_t, 6> clockAddresses{1075, 1076, 1077, 1078, 1079, 1080};

    // Settings the simulated motor follows (0 when the catalogue has no such parameter).
    uint16_t motorFlaAddress = 1001;
    uint16_t initialCurrentAddress = 1012;  // % of FLA at the start of the ramp
    uint16_t accelTimeAddress = 1013;       // seconds
    uint16_t maxCurrentAddress = 1014;      // % of FLA
    uint16_t decelRampAddress = 1024;       // 0 coast to stop
    uint16_t decelTimeAddress = 1027;       // seconds
    uint16_t voltageInputAddress = 1029;    // volts
    uint16_t modbusAddressAddress = 1067;   // shows the node's own address
    std::array<uint16_t, 3> relaySettingAddresses{1060, 1061, 1062};

    // Motor FLA's range follows the frame rating and the service factor, as the program's rule
    // does: given their register figures, the FLA range as register figures, or nothing when the
    // service factor figure is not one of its list values. Empty: FLA keeps its static range.
    uint16_t frameRatingAddress = 0;
    uint16_t serviceFactorAddress = 0;
    std::function<std::optional<std::pair<uint16_t, uint16_t>>(uint16_t frameRating, uint16_t serviceFactor)>
        motorFlaRange;

    uint16_t firmwareNumber = 0;
    int modelCode = 0;

    const ParameterRegister* Find(uint16_t address) const;
};

// The layout of the built-in catalogue for a model code (the frame rating the starter reports,
// 0 for the generic model) and a firmware number (a FlashNum of the firmware table). Returns
// nothing and sets *error when the firmware number is not in the table or the model code is not
// one the catalogue knows.
std::optional<ParameterLayout> CatalogueLayout(int modelCode, int firmwareNumber, QString* error = nullptr);

}  // namespace rv8::sim
