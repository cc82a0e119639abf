#include "StarterNode.h"

#include <tuple>

#include "comm/AccessCodes.h"
#include "comm/NuvBytes.h"

#include <algorithm>

namespace rv8::sim {

using comm::AppendByte;
using comm::AppendWord;

namespace {

constexpr int kFaultHistoryCount = 9;
constexpr uint16_t kMaxReadCount = 125;
constexpr uint16_t kMaxWriteCount = 123;

QByteArray ExceptionReply(uint8_t function, uint8_t code)
{
    QByteArray reply;
    AppendByte(reply, static_cast<uint8_t>(function | 0x80));
    AppendByte(reply, code);
    return reply;
}

QDateTime AsClock(const QDateTime& t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()), Qt::UTC);
}

// Replaces one field of the clock; the day is kept inside the month.
QDateTime WithClockField(const QDateTime& now, int index, int value)
{
    int y = now.date().year();
    int mo = now.date().month();
    int d = now.date().day();
    int h = now.time().hour();
    int mi = now.time().minute();
    int s = now.time().second();
    switch (index) {
    case 0: y = value; break;
    case 1: mo = value; break;
    case 2: d = value; break;
    case 3: h = value; break;
    case 4: mi = value; break;
    default: s = value; break;
    }
    const int last = QDate(y, mo, 1).daysInMonth();
    return QDateTime(QDate(y, mo, std::clamp(d, 1, last)), QTime(h, mi, s), Qt::UTC);
}

}  // namespace

StarterNode::StarterNode(uint8_t address, std::shared_ptr<const ParameterLayout> layout,
                         std::shared_ptr<const Clock> clock, Options options)
    : m_address(address), m_layout(std::move(layout)), m_clock(std::move(clock)), m_options(std::move(options))
{
    RestoreDefaults();
    m_clockBase = m_options.clockStart.isValid() ? AsClock(m_options.clockStart)
                                                 : QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    m_clockBaseMs = m_clock->NowMs();
    // Three faults of a starter that has seen some service: an overload while running, a phase loss
    // during acceleration and a shorted SCR while stopping.
    m_faults = {FaultRecord{11, 1542, 917}, FaultRecord{4, 712, 603}, FaultRecord{15, 2318, 1129}};
}

void StarterNode::RestoreDefaults()
{
    m_params.clear();
    for (const auto& p : m_layout->parameters)
        m_params[p.address] = p.defaultValue;
    // A starter shows its own node address in the Modbus-address parameter.
    if (const auto* p = m_layout->Find(m_layout->modbusAddressAddress))
        if (m_address >= p->minimum && m_address <= p->maximum)
            m_params[p->address] = m_address;
    m_unlockedUntil = -1;
}

bool StarterNode::WriteUnlocked() const { return m_unlockedUntil >= 0 && m_clock->NowMs() <= m_unlockedUntil; }

QDateTime StarterNode::ClockNow() const
{
    return m_clockBase.addMSecs(m_clock->NowMs() - m_clockBaseMs);
}

MotorSettings StarterNode::Settings() const
{
    MotorSettings s;
    auto get = [this](uint16_t address, uint16_t fallback) {
        const auto it = m_params.find(address);
        return it != m_params.end() ? it->second : fallback;
    };
    const ParameterLayout& l = *m_layout;
    s.motorFla = get(l.motorFlaAddress, s.motorFla);
    s.initialCurrent = get(l.initialCurrentAddress, s.initialCurrent);
    s.maxCurrent = get(l.maxCurrentAddress, s.maxCurrent);
    s.accelTime = get(l.accelTimeAddress, s.accelTime);
    s.decelRamp = get(l.decelRampAddress, s.decelRamp);
    s.decelTime = get(l.decelTimeAddress, s.decelTime);
    s.voltageInput = get(l.voltageInputAddress, s.voltageInput);
    for (size_t k = 0; k < 3; ++k)
        s.relaySettings[k] = get(l.relaySettingAddresses[k], s.relaySettings[k]);
    return s;
}

MotorSnapshot StarterNode::Motor() const
{
    const MotorSettings settings = Settings();
    if (!m_options.motorCycling)
        return ComputeMotor(settings, m_options.cycle, 0, m_activeFault);  // time 0: at rest
    return ComputeMotor(settings, m_options.cycle, m_clock->NowMs() + m_options.cycleOffsetMs, m_activeFault);
}

void StarterNode::Trip(uint16_t faultCode)
{
    const QDateTime now = ClockNow();
    m_faults[2] = m_faults[1];
    m_faults[1] = m_faults[0];
    m_faults[0] = FaultRecord{faultCode, static_cast<uint16_t>(now.time().hour() * 100 + now.time().minute()),
                              static_cast<uint16_t>(now.date().month() * 100 + now.date().day())};
    m_activeFault = faultCode;
}

int StarterNode::ClockIndex(uint16_t address) const
{
    const auto& a = m_layout->clockAddresses;
    const auto it = std::find(a.begin(), a.end(), address);
    return it == a.end() ? -1 : static_cast<int>(it - a.begin());
}

std::optional<uint16_t> StarterNode::ReadOne(uint16_t address, const MotorSnapshot& motor, const QDateTime& now) const
{
    const ParameterLayout& l = *m_layout;
    if (address >= kFirstLiveRegister && address <= kLastLiveRegister)
        return motor.registers[static_cast<size_t>(address - kFirstLiveRegister)];
    if (address >= l.faultHistoryAddress && address < l.faultHistoryAddress + kFaultHistoryCount) {
        const int k = address - l.faultHistoryAddress;
        const FaultRecord& f = m_faults[static_cast<size_t>(k / 3)];
        return k % 3 == 0 ? f.code : k % 3 == 1 ? f.time : f.date;
    }
    if (address == l.revisionAddress)
        return l.firmwareNumber;
    if (const int c = ClockIndex(address); c >= 0) {
        const int fields[6] = {now.date().year(), now.date().month(), now.date().day(),
                               now.time().hour(), now.time().minute(), now.time().second()};
        return static_cast<uint16_t>(fields[c]);
    }
    if (address == l.resetAddress && m_params.count(address))
        return 0;  // a reset request is carried out at once and never stays in the register
    const auto it = m_params.find(address);
    if (it == m_params.end())
        return std::nullopt;
    return it->second;
}

std::optional<uint16_t> StarterNode::Register(uint16_t address) const
{
    return ReadOne(address, Motor(), ClockNow());
}

bool StarterNode::SetParameter(uint16_t address, uint16_t value)
{
    const auto it = m_params.find(address);
    if (it == m_params.end())
        return false;
    it->second = value;
    return true;
}

uint8_t StarterNode::ReadRegisters(uint16_t first, uint16_t count, std::vector<uint16_t>& values)
{
    values.clear();
    if (count < 1 || count > kMaxReadCount)
        return kExIllegalDataValue;
    if (first + count - 1 > 0xFFFF)
        return kExIllegalDataAddress;
    const MotorSnapshot motor = Motor();
    const QDateTime now = ClockNow();
    for (int a = first; a < first + count; ++a) {
        const auto v = ReadOne(static_cast<uint16_t>(a), motor, now);
        if (!v) {
            values.clear();
            return kExIllegalDataAddress;
        }
        values.push_back(*v);
    }
    return 0;
}

uint8_t StarterNode::WriteOne(WriteState& state, uint16_t address, uint16_t value) const
{
    const ParameterLayout& l = *m_layout;
    const ParameterRegister* p = l.Find(address);
    if (!p || address == l.revisionAddress)
        return kExIllegalDataAddress;  // live, history, revision and unknown registers
    if (address == l.factoryPasswordAddress) {
        if (value != comm::kWriteAccessCode)
            return kExIllegalDataValue;
        state.unlockedUntil = m_clock->NowMs() + m_options.unlockHoldMs;
        return 0;
    }
    if (const int c = ClockIndex(address); c >= 0) {
        if (value < p->minimum || value > p->maximum)
            return kExIllegalDataValue;
        state.clock = WithClockField(state.clock, c, value);
        state.clockChanged = true;
        return 0;
    }
    if (p->readOnly)
        return kExIllegalDataAddress;
    if (state.unlockedUntil < 0 || m_clock->NowMs() > state.unlockedUntil)
        return m_options.lockedException;
    const bool off = p->offValue && value == *p->offValue;
    uint16_t minimum = p->minimum;
    uint16_t maximum = p->maximum;
    if (address == l.motorFlaAddress && l.motorFlaRange) {
        auto current = [&](uint16_t a) {
            const auto it = state.params.find(a);
            const ParameterRegister* r = l.Find(a);
            return it != state.params.end() ? it->second : (r ? r->defaultValue : uint16_t(0));
        };
        if (const auto range = l.motorFlaRange(current(l.frameRatingAddress), current(l.serviceFactorAddress)))
            std::tie(minimum, maximum) = *range;
    }
    if (!off && (value < minimum || value > maximum))
        return kExIllegalDataValue;
    if (address == l.resetAddress) {
        state.resetRequest = value;
        return 0;
    }
    state.params[address] = value;
    return 0;
}

uint8_t StarterNode::WriteRegisters(uint16_t first, const std::vector<uint16_t>& values)
{
    if (values.empty() || values.size() > kMaxWriteCount)
        return kExIllegalDataValue;
    if (first + values.size() - 1 > 0xFFFF)
        return kExIllegalDataAddress;
    // Work on a copy so that a refused register leaves the whole write undone.
    WriteState state{m_params, m_unlockedUntil, ClockNow()};
    for (size_t k = 0; k < values.size(); ++k)
        if (const uint8_t ex = WriteOne(state, static_cast<uint16_t>(first + k), values[k]))
            return ex;
    m_params = std::move(state.params);
    m_unlockedUntil = state.unlockedUntil;
    if (state.clockChanged) {
        m_clockBase = state.clock;
        m_clockBaseMs = m_clock->NowMs();
    }
    if (state.resetRequest == 2)
        RestoreDefaults();
    // Requests 1 (thermal and lockout timers) and 3 (kWh) clear counters the simulation does not keep.
    return 0;
}

QByteArray StarterNode::Process(const QByteArray& pdu)
{
    if (pdu.isEmpty())
        return ExceptionReply(0, kExIllegalFunction);
    const auto function = static_cast<uint8_t>(pdu.at(0));
    int pos = 2;
    uint16_t first = 0;
    uint16_t count = 0;
    switch (function) {
    case 3: {
        if (pdu.size() != 5 || !comm::ReadWord(pdu, pos, first) || !comm::ReadWord(pdu, pos, count))
            return ExceptionReply(function, kExIllegalDataValue);
        std::vector<uint16_t> values;
        if (const uint8_t ex = ReadRegisters(first, count, values))
            return ExceptionReply(function, ex);
        QByteArray reply;
        AppendByte(reply, function);
        AppendByte(reply, static_cast<uint8_t>(2 * values.size()));
        for (uint16_t v : values)
            AppendWord(reply, v);
        return reply;
    }
    case 6: {
        uint16_t value = 0;
        if (pdu.size() != 5 || !comm::ReadWord(pdu, pos, first) || !comm::ReadWord(pdu, pos, value))
            return ExceptionReply(function, kExIllegalDataValue);
        if (const uint8_t ex = WriteRegisters(first, {value}))
            return ExceptionReply(function, ex);
        return pdu;
    }
    case 16: {
        uint8_t byteCount = 0;
        if (pdu.size() < 6 || !comm::ReadWord(pdu, pos, first) || !comm::ReadWord(pdu, pos, count)
            || !comm::ReadByte(pdu, pos, byteCount))
            return ExceptionReply(function, kExIllegalDataValue);
        if (count < 1 || count > kMaxWriteCount || byteCount != 2 * count || pdu.size() != 6 + byteCount)
            return ExceptionReply(function, kExIllegalDataValue);
        std::vector<uint16_t> values(count);
        for (auto& v : values)
            comm::ReadWord(pdu, pos, v);
        if (const uint8_t ex = WriteRegisters(first, values))
            return ExceptionReply(function, ex);
        QByteArray reply;
        AppendByte(reply, function);
        AppendWord(reply, first);
        AppendWord(reply, count);
        return reply;
    }
    default: return ExceptionReply(function, kExIllegalFunction);
    }
}

}  // namespace rv8::sim
