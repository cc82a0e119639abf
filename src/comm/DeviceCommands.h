#pragma once
// Commands that act on the starter itself and the rules of their windows: the system clear /
// factory reset, setting the starter's real-time clock, the keypad bus protocol every polling
// loop follows, and the password check of the "Password Dialog". The windows (app/InitF*,
// app/Panel*, app/Passw*) only show these; the command line runs them directly.

#include "Transfer.h"
#include "UserPrompts.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>

namespace rv8::comm {

// ---- System clear / factory reset ----------------------------------------------------------

// 0 none, 1 "Clear THR and Lockout Timers", 2 "Reset Factory Default Settings", 3 "Clear kWH".
enum TResetChoice : int { rcNone = 0, rcClearTimers = 1, rcFactoryDefaults = 2, rcClearKwh = 3 };
// The option button caption of a choice ("No Reset" for 0).
QString ResetChoiceCaption(int choice);
// "&Accept" of the reset window with `chosen` button: no question for "No Reset"; otherwise the
// caption and "?" (confirmation, Yes/No). The resulting choice: `chosen` on Yes, else 0.
int ConfirmResetChoice(int chosen, UserPrompts& prompts);
// Unlocks write access and, when that worked, writes the choice (1..3) to the reset parameter
// of NodeAddress, silently. True when the write went through (callers do not report it).
bool SendSystemReset(TParameterTransfer& transfer, int choice);

// ---- Real-time clock -------------------------------------------------------------------------

inline constexpr int kClockYearMin = 2000;
inline constexpr int kClockYearMax = 2047;

struct TClockValues {
    uint16_t Year = 2000;
    uint16_t Month = 1;
    uint16_t Day = 1;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
};
// The message for a year outside 2000..2047.
QString ClockYearRangeMessage();
// "&Set" of the clock window: a date outside the year range shows the message and returns false
// (the window stays open); otherwise the values are taken from the date and time.
bool AcceptClockEntry(const QDate& date, const QTime& time, TClockValues& values, UserPrompts& prompts);
// Writes year, month, day, hour, minute and second, in this order and each only while the
// previous write succeeded, one register each at the clock registers of SPECIAL_ADDRESSES,
// without unlocking and with the error question (no Ignore). True when all six went through.
bool SetStarterClock(const DeviceContext& context, const TClockValues& values);

// ---- Keypad bus --------------------------------------------------------------------------------

// 1: the bus is free for polling; 2: the keypad owns it.
inline constexpr int kBusFree = 1;
inline constexpr int kBusKeypad = 2;

struct TKeypadBus {
    int BusState = kBusFree;
    bool KeypadActive = false;  // never set: the keypad window is a placeholder

    // Called once per polling cycle with the poller's own trigger. Without an active keypad a set
    // trigger hands the bus to the keypad (and is cleared), otherwise the bus is free; with an
    // active keypad a free bus goes to the keypad.
    void SynchronizeWithKeypad(bool& PanelTrigger);
    // Polling loops read only while this holds.
    bool MayPoll() const { return BusState == kBusFree; }
};
extern TKeypadBus KEYPAD_BUS;

// ---- Password dialog ---------------------------------------------------------------------------

enum class TPasswordMode { Custom, Test, Factory };
// customMode / testMode as AskPassword takes them; neither is factory mode.
TPasswordMode PasswordModeOf(bool customMode, bool testMode);
// Whether the entry opens the mode: custom and test mode need their access code exactly (case-
// sensitive; an empty entry does not pass where a code exists); factory mode has no code and
// passes only the empty entry.
bool PasswordAccepted(TPasswordMode mode, const QString& entry);
inline const QString kWrongPassword = QStringLiteral("The password that you entered is not correct. Please try again.");
inline constexpr int kPasswordMaxLength = 20;

}  // namespace rv8::comm
