#pragma once
// One simulated RV8 starter at one node address: its register set and the rules it applies to
// Modbus requests (function codes 3, 6 and 16). Knows nothing of framing or media.
//
// Register map:
//   parameter registers of the layout (1001..1113 for the built-in catalogue), with these rules:
//     - a write to the factory-password register unlocks parameter writes when it carries the
//       write-access code; any other value is refused; the register always reads the factory
//       password;
//     - other parameter writes need the unlock (held for Options::unlockHoldMs after the unlocking
//       write) and a figure inside the parameter's range (or its Off figure);
//     - the clock registers take writes without the unlock and read the running clock;
//     - the reset register carries out 1 (clear thermal and lockout timers), 2 (factory defaults,
//       also locks) and 3 (clear kWh) and then reads 0;
//     - read-only registers refuse writes;
//   the revision register reads the firmware number;
//   the fault history (nine registers) reads the last three faults: code, time hhmm, date mmdd;
//   the live registers 2000..2021 follow the motor model.
// Exceptions: 1 unknown function, 2 an address outside the map or a read-only register,
// 3 a bad quantity or byte count or a value outside the range, Options::lockedException
// a parameter write without the unlock. A refused multi-register write changes nothing.

#include "sim/MotorModel.h"
#include "sim/ParameterLayout.h"
#include "sim/SimClock.h"

#include <QByteArray>
#include <QDateTime>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace rv8::sim {

inline constexpr uint8_t kExIllegalFunction = 1;
inline constexpr uint8_t kExIllegalDataAddress = 2;
inline constexpr uint8_t kExIllegalDataValue = 3;
inline constexpr uint8_t kExSlaveDeviceFailure = 4;

struct FaultRecord {
    uint16_t code = 0;  // 3 x (kind - 1) + stage
    uint16_t time = 0;  // hour x 100 + minute
    uint16_t date = 0;  // month x 100 + day
};

class StarterNode {
public:
    struct Options {
        int64_t unlockHoldMs = 5000;
        uint8_t lockedException = kExSlaveDeviceFailure;
        MotorCycle cycle;
        int64_t cycleOffsetMs = 0;  // where in the motor cycle this node is at clock time 0
        bool motorCycling = true;   // false: the motor stays at rest
        QDateTime clockStart;       // the real-time clock at clock time 0 (invalid: 2000-01-01 00:00:00)
    };

    StarterNode(uint8_t address, std::shared_ptr<const ParameterLayout> layout, std::shared_ptr<const Clock> clock,
                Options options);

    uint8_t Address() const { return m_address; }
    const ParameterLayout& Layout() const { return *m_layout; }

    // Answers one request PDU (function code and data) with the reply PDU, an exception reply
    // when the request is refused.
    QByteArray Process(const QByteArray& pdu);

    // The register operations behind Process; 0 or the exception code.
    uint8_t ReadRegisters(uint16_t first, uint16_t count, std::vector<uint16_t>& values);
    uint8_t WriteRegisters(uint16_t first, const std::vector<uint16_t>& values);

    // The register as a read would give it, or nothing for an address outside the map.
    std::optional<uint16_t> Register(uint16_t address) const;
    // Stores a parameter register figure without any rule (tests, set-up). False outside the parameters.
    bool SetParameter(uint16_t address, uint16_t value);

    bool WriteUnlocked() const;
    void RestoreDefaults();

    std::array<FaultRecord, 3> FaultHistory() const { return m_faults; }
    void SetFaultHistory(const std::array<FaultRecord, 3>& faults) { m_faults = faults; }
    // Trips the starter with the fault code: the motor stops, the live fault code shows the code and
    // the fault enters the history as the latest, stamped with the starter's clock.
    void Trip(uint16_t faultCode);
    void ClearTrip() { m_activeFault = kNoFault; }
    uint16_t ActiveFault() const { return m_activeFault; }

    void SetMotorCycling(bool on) { m_options.motorCycling = on; }
    MotorSnapshot Motor() const;
    QDateTime ClockNow() const;

private:
    MotorSettings Settings() const;
    std::optional<uint16_t> ReadOne(uint16_t address, const MotorSnapshot& motor, const QDateTime& now) const;
    int ClockIndex(uint16_t address) const;

    struct WriteState {
        std::map<uint16_t, uint16_t> params;
        int64_t unlockedUntil;
        QDateTime clock;
        bool clockChanged = false;
        int resetRequest = 0;
    };
    uint8_t WriteOne(WriteState& state, uint16_t address, uint16_t value) const;

    uint8_t m_address;
    std::shared_ptr<const ParameterLayout> m_layout;
    std::shared_ptr<const Clock> m_clock;
    Options m_options;
    std::map<uint16_t, uint16_t> m_params;
    int64_t m_unlockedUntil = -1;  // clock time up to which parameter writes are allowed
    QDateTime m_clockBase;         // the real-time clock at m_clockBaseMs
    int64_t m_clockBaseMs = 0;
    std::array<FaultRecord, 3> m_faults{};
    uint16_t m_activeFault = kNoFault;
};

}  // namespace rv8::sim
