#pragma once
// Every value the program keeps in its settings store, with key, section, name, default, range
// and the rule for a stored figure outside the range. Read and write them with TReg:
//
//     TReg reg;                                   // the program's settings location
//     const int address = reg.Read(reg::com::Address());
//     reg.Write(reg::setup::SearchText(), text);
//
// Integers marked Clamp are clamped on reading; those marked Fallback get their fallback, and
// TReg::Repair() also writes it back where the owner of the value does so.

#include "comm/ProgramOptions.h"
#include "files/uReg.h"

#include <vector>

namespace rv8::files::reg {

// Area keys below HKEY_CURRENT_USER.
inline constexpr char kSetupKey[] = "SOFTWARE\\VORNEKA\\RV8\\SETUP";
inline constexpr char kComKey[] = "SOFTWARE\\VORNEKA\\RV8\\COM\\SETTINGS";
inline constexpr char kMonKey[] = "SOFTWARE\\VORNEKA\\RV8\\MON\\SETTINGS";
inline constexpr char kOscKey[] = "SOFTWARE\\VORNEKA\\RV8\\OSC\\SETTINGS";
inline constexpr char kSclKey[] = "SOFTWARE\\VORNEKA\\RV8\\SCL\\SETTINGS";

// ---- SETUP: main window, program properties, scan results, automatic update ----------------
namespace setup {
inline constexpr char kProgramSection[] = "PROGRAM";
inline constexpr char kSearchSection[] = "FHIS";
inline constexpr char kOptionsSection[] = "PRG";
inline constexpr char kUpdateNotificationSection[] = "AutomaticUpdate\\UpdateNotification";
inline constexpr char kProxySection[] = "AutomaticUpdate\\ProxySettings";

RegString InstallPath();  // PROGRAM\INSTALLPATH, program folder without trailing separator
RegString Version();      // PROGRAM\VERSION
RegString SearchText();   // FHIS\SF, last parameter search text

// PRG: the general options. One row per Boolean option, in the order of ProgramOptions.
struct OptionValue {
    RegBoolean value;
    bool comm::ProgramOptions::*member;
};
const std::vector<OptionValue>& Options();
// The row of one option, e.g. Option(&comm::ProgramOptions::L22).
const RegBoolean& Option(bool comm::ProgramOptions::*member);
RegInteger NSC();  // PRG\NSC, default 16, clamped to 1..254

RegBoolean UpdateNotification();  // default true
RegString FirstTimeStartID();
RegBoolean ProxyUse();         // USE, default false
RegString ProxyAddress();      // ADDR
RegInteger ProxyPort();        // PORT, default 8080
RegString ProxyUserName();     // UN
RegString ProxyPassword();     // PW, stored as typed
}  // namespace setup

// Fills `options` from PRG, each with its default; NSC clamped to 1..254.
void ReadProgramOptions(const TReg& reg, comm::ProgramOptions& options);
comm::ProgramOptions ReadProgramOptions(const TReg& reg);
// Stores every option of `options` in PRG.
void WriteProgramOptions(TReg& reg, const comm::ProgramOptions& options);

// ---- COM\SETTINGS, section SETUP: communication session --------------------------------------
namespace com {
inline constexpr char kSection[] = "SETUP";
RegInteger Address();              // ADDRESS 1, 1..254
RegInteger Medium();               // MEDIUM 0, 0..1
RegInteger BaudRate();             // BAUDRATE 1, 0..3
RegInteger Type();                 // TYPE 1, 1..13
RegInteger Parity();               // PARITY 0, 0..2
RegInteger Port();                 // PORT 0, 0..15
RegInteger TransmissionDelay();    // TRANSMISSION_DELAY2A 10, 10..10000
RegInteger ResponseDelay();        // RESPONSE_DELAY2A 50, 10..10000
RegInteger StopBits();             // STOPBITS 0, 0..1
RegInteger TcpInterface();         // ModbusTcp_Interface 4, 4..14
RegInteger TcpMedium();            // ModbusTcp_Medium 0, 0..1
RegInteger TcpPort();              // ModbusTcp_Port 502, 0..65535
RegInteger TcpRequestDelay();      // ModbusTcp_RequestDelay2A 10, 10..10000
RegInteger TcpResponseTimeout();   // ModbusTcp_ResponseTimeout2A 100, 10..10000
RegString TcpHost();               // ModbusTcp_Host, default kDefaultTcpHost
RegBoolean EchoBack();             // ECHOBACK false
RegBoolean Rts();                  // RTS true
inline constexpr char kDefaultTcpHost[] = "192.168.1.100";
// All integer values of the section, for tables that clamp fields by the same ranges.
std::vector<RegInteger> Integers();
}  // namespace com

// ---- MON\SETTINGS, section MENU: monitor panel (meter n = 1..4) -------------------------------
// Out-of-range figures take the fallback, which the panel writes back (TReg::Repair).
namespace mon {
inline constexpr char kSection[] = "MENU";
RegInteger MeterKind(int n);    // MONITORMTRn, default 0, valid 0..4, fallback 0
RegInteger LedColour(int n);    // MONITORLEDCn, default 0, valid 0..4, fallback 4
RegInteger TraceColour(int n);  // MONITORSIGCn, default 0, valid 0..4, fallback 4
RegInteger TimeSpan(int n);     // MONITORintTBn, default 2, valid 0..26, fallback 26
RegInteger PanelTimeSpan();     // MONITORintTB5, default 4, valid 0..26, fallback 26
}  // namespace mon

// ---- OSC\SETTINGS: trend recorder (channel n = 1..6) -----------------------------------------
namespace osc {
inline constexpr char kOscSection[] = "OSC";
inline constexpr char kColoursSection[] = "COLORS";
inline constexpr char kScaleSection[] = "SCALE";
inline constexpr char kLongTermSection[] = "Osc";
RegBoolean Legend();        // LEGEND false
RegBoolean AmPm();          // AMPM true
RegInteger Grid();          // Grid 0, valid 0..5, else 0
RegInteger YScale();        // YSCALE 0, valid 0..1 (items of the Y-scale list), else 0, written back
RegInteger TimeBase();      // TIMEBASE 1, valid 0..19 (items of the time-base list), else 1, written back
RegInteger TimeBaseKnob();  // TIMEBASE_KNB 50, valid 1..100, else 50, written back (the owner also resets TIMEBASE)
RegBoolean AutoY();         // AUTOY true
RegBoolean MaxY();          // MAXY true
RegBoolean MinY1();         // MINY1 false
RegBoolean RealVal();       // REALVAL false
// Default colours of channels 1..6 (red in the low byte): red, blue, black, green, purple, aqua.
inline constexpr int kDefaultSignalColours[6] = {255, 16711680, 0, 32768, 8388736, 16776960};
RegString SignalColour(int n);  // COLORS\COLORSIGn, decimal colour text
RegInteger LineWidth(int n);    // SIGNALn\CHANNELLWn 1, valid 0..3, else 1
RegString ScaleMin(int n);      // SCALE\OSCALEnMIN "0.00"; the owner raises figures below -2000 to -2000
RegString ScaleMax(int n);      // SCALE\OSCALEnMAX "100.00"; same
RegBoolean ScaleActive(int n);  // SCALE\OSCALE_ACTIVEn false
RegString ScaleUnit(int n);     // SCALE\OSCALE_UNITn empty
RegBoolean LongTerm();          // Osc\LongTerm false
RegString LongTermFile();       // Osc\LongTermFile empty
RegInteger LongTermFrequency(); // Osc\LongTermFrequency 0
inline constexpr double kScaleFloor = -2000.0;
}  // namespace osc

// ---- SCL\SETTINGS, section SCALE: signal scaling dialog --------------------------------------
namespace scl {
inline constexpr char kSection[] = "SCALE";
RegString MonitorScale(int n);  // MSCALEn "100.0"
RegString TrendScale(int n);    // OSCALEn "100.0"
}  // namespace scl

}  // namespace rv8::files::reg
