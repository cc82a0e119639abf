#include "DeviceCommands.h"

#include "AccessCodes.h"

namespace rv8::comm {

TKeypadBus KEYPAD_BUS;

QString ResetChoiceCaption(int choice)
{
    switch (choice) {
    case rcClearTimers: return QStringLiteral("Clear THR and Lockout Timers");
    case rcFactoryDefaults: return QStringLiteral("Reset Factory Default Settings");
    case rcClearKwh: return QStringLiteral("Clear kWH");
    default: return QStringLiteral("No Reset");
    }
}

int ConfirmResetChoice(int chosen, UserPrompts& prompts)
{
    if (chosen < rcClearTimers || chosen > rcClearKwh)
        return rcNone;
    return prompts.questionYesNo({}, ResetChoiceCaption(chosen) + QStringLiteral("?"), PromptKind::Confirmation)
               ? chosen
               : rcNone;
}

bool SendSystemReset(TParameterTransfer& transfer, int choice)
{
    if (choice < rcClearTimers || choice > rcClearKwh)
        return false;
    if (!transfer.UnlockWriteAccess())
        return false;
    return transfer.WriteDependencyValue(transfer.Context().Node(), param::deiSystemClearAndFactoryReset,
                                         param::Fixed::FromInt(choice), {bmoAutoIgnoreError}, nullptr);
}

QString ClockYearRangeMessage()
{
    return QString::asprintf(
        "The year selected falls outside the specified range (%d - %d). Please select a different year.",
        kClockYearMin, kClockYearMax);
}

bool AcceptClockEntry(const QDate& date, const QTime& time, TClockValues& values, UserPrompts& prompts)
{
    if (!date.isValid() || date.year() < kClockYearMin || date.year() > kClockYearMax) {
        prompts.information({}, ClockYearRangeMessage());
        return false;
    }
    values.Year = static_cast<uint16_t>(date.year());
    values.Month = static_cast<uint16_t>(date.month());
    values.Day = static_cast<uint16_t>(date.day());
    const QTime t = time.isValid() ? time : QTime(0, 0);
    values.Hour = static_cast<uint16_t>(t.hour());
    values.Minute = static_cast<uint16_t>(t.minute());
    values.Second = static_cast<uint16_t>(t.second());
    return true;
}

bool SetStarterClock(const DeviceContext& context, const TClockValues& values)
{
    const param::TSpecialAddresses& special = *context.SpecialAddresses;
    const std::array<std::pair<int, uint16_t>, 6> writes = {{
        {param::sasYear, values.Year},
        {param::sasMonth, values.Month},
        {param::sasDay, values.Day},
        {param::sasHour, values.Hour},
        {param::sasMinute, values.Minute},
        {param::sasSeconds, values.Second},
    }};
    for (const auto& [slot, value] : writes) {
        const uint16_t address = special[static_cast<std::size_t>(slot)];
        if (address == 0xFFFF || !context.Session->WriteSingleRegister(context.Node(), address, value, {}, nullptr))
            return false;
    }
    return true;
}

void TKeypadBus::SynchronizeWithKeypad(bool& PanelTrigger)
{
    if (!KeypadActive) {
        if (PanelTrigger) {
            BusState = kBusKeypad;
            PanelTrigger = false;
        } else {
            BusState = kBusFree;
        }
    } else if (BusState <= kBusFree) {
        BusState = kBusKeypad;
    }
}

TPasswordMode PasswordModeOf(bool customMode, bool testMode)
{
    if (customMode)
        return TPasswordMode::Custom;
    if (testMode)
        return TPasswordMode::Test;
    return TPasswordMode::Factory;
}

bool PasswordAccepted(TPasswordMode mode, const QString& entry)
{
    switch (mode) {
    case TPasswordMode::Custom:
        return !entry.isEmpty() && entry == QLatin1String(kCustomModeAccessCode.data(), kCustomModeAccessCode.size());
    case TPasswordMode::Test:
        return !entry.isEmpty() && entry == QLatin1String(kTestModeAccessCode.data(), kTestModeAccessCode.size());
    case TPasswordMode::Factory:
        return entry.isEmpty();
    }
    return false;
}

}  // namespace rv8::comm
