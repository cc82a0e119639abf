#include "files/RegValues.h"

#include <cstdlib>

namespace rv8::files::reg {

namespace {

QString L(const char* s)
{
    return QString::fromLatin1(s);
}

RegBoolean boolean(const char* key, const QString& section, const QString& name, bool def)
{
    return RegBoolean{L(key), section, {def, name}};
}

RegString string(const char* key, const QString& section, const QString& name, const QString& def = {})
{
    return RegString{L(key), section, {def, name}};
}

RegInteger clamped(const char* key, const QString& section, const QString& name, int def, int min = INT_MIN,
                   int max = INT_MAX)
{
    return RegInteger{L(key), section, {def, min, max, name}};
}

RegInteger fallback(const char* key, const QString& section, const QString& name, int def, int min, int max,
                    int fallbackValue, bool writeBack)
{
    return RegInteger{L(key), section, {def, min, max, name}, RegInteger::Rule::Fallback, fallbackValue, writeBack};
}

// Value names numbered by meter or channel ("MONITORMTR" + n).
QString numbered(const char* prefix, int n, const char* suffix = "")
{
    return L(prefix) + QString::number(n) + L(suffix);
}

}  // namespace

// ---- SETUP --------------------------------------------------------------------------------

namespace setup {

RegString InstallPath() { return string(kSetupKey, L(kProgramSection), QStringLiteral("INSTALLPATH")); }
RegString Version() { return string(kSetupKey, L(kProgramSection), QStringLiteral("VERSION")); }
RegString SearchText() { return string(kSetupKey, L(kSearchSection), QStringLiteral("SF")); }

const std::vector<OptionValue>& Options()
{
    using O = comm::ProgramOptions;
    static const std::vector<OptionValue> table = [] {
        const O defaults;
        std::vector<OptionValue> t;
        auto add = [&](const char* name, bool O::*member) {
            t.push_back({boolean(kSetupKey, L(kOptionsSection), L(name), defaults.*member), member});
        };
        add("L1A", &O::L1A);
        add("L2", &O::L2);
        add("L3", &O::L3);
        add("L4", &O::L4);
        add("L5", &O::L5);
        add("L6", &O::L6);
        add("L7", &O::L7);
        add("L8", &O::L8);
        add("L9", &O::L9);
        add("L12", &O::L12);
        add("L13", &O::L13);
        add("L14", &O::L14);
        add("L15", &O::L15);
        add("L16", &O::L16);
        add("L20", &O::L20);
        add("L22", &O::L22);
        add("L26", &O::L26);
        add("L27", &O::L27);
        add("L28", &O::L28);
        add("L30", &O::L30);
        add("L31", &O::L31);
        return t;
    }();
    return table;
}

const RegBoolean& Option(bool comm::ProgramOptions::*member)
{
    for (const OptionValue& row : Options()) {
        if (row.member == member)
            return row.value;
    }
    // Every Boolean member of ProgramOptions has a row; reaching this is a programming error.
    std::abort();
}

RegInteger NSC() { return clamped(kSetupKey, L(kOptionsSection), QStringLiteral("NSC"), 16, 1, 254); }

RegBoolean UpdateNotification()
{
    return boolean(kSetupKey, L(kUpdateNotificationSection), QStringLiteral("UpdateNotification"), true);
}
RegString FirstTimeStartID()
{
    return string(kSetupKey, L(kUpdateNotificationSection), QStringLiteral("FirstTimeStartID"));
}
RegBoolean ProxyUse() { return boolean(kSetupKey, L(kProxySection), QStringLiteral("USE"), false); }
RegString ProxyAddress() { return string(kSetupKey, L(kProxySection), QStringLiteral("ADDR")); }
RegInteger ProxyPort() { return clamped(kSetupKey, L(kProxySection), QStringLiteral("PORT"), 8080); }
RegString ProxyUserName() { return string(kSetupKey, L(kProxySection), QStringLiteral("UN")); }
RegString ProxyPassword() { return string(kSetupKey, L(kProxySection), QStringLiteral("PW")); }

}  // namespace setup

void ReadProgramOptions(const TReg& reg, comm::ProgramOptions& options)
{
    for (const setup::OptionValue& row : setup::Options())
        options.*row.member = reg.Read(row.value);
    options.NSC = reg.Read(setup::NSC());
}

comm::ProgramOptions ReadProgramOptions(const TReg& reg)
{
    comm::ProgramOptions options;
    ReadProgramOptions(reg, options);
    return options;
}

void WriteProgramOptions(TReg& reg, const comm::ProgramOptions& options)
{
    for (const setup::OptionValue& row : setup::Options())
        reg.Write(row.value, options.*row.member);
    reg.Write(setup::NSC(), options.NSC);
}

// ---- COM\SETTINGS ---------------------------------------------------------------------------

namespace com {

namespace {
RegInteger comInt(const char* name, int def, int min, int max)
{
    return clamped(kComKey, L(kSection), L(name), def, min, max);
}
}  // namespace

RegInteger Address() { return comInt("ADDRESS", 1, 1, 254); }
RegInteger Medium() { return comInt("MEDIUM", 0, 0, 1); }
RegInteger BaudRate() { return comInt("BAUDRATE", 1, 0, 3); }
RegInteger Type() { return comInt("TYPE", 1, 1, 13); }
RegInteger Parity() { return comInt("PARITY", 0, 0, 2); }
RegInteger Port() { return comInt("PORT", 0, 0, 15); }
RegInteger TransmissionDelay() { return comInt("TRANSMISSION_DELAY2A", 10, 10, 10000); }
RegInteger ResponseDelay() { return comInt("RESPONSE_DELAY2A", 50, 10, 10000); }
RegInteger StopBits() { return comInt("STOPBITS", 0, 0, 1); }
RegInteger TcpInterface() { return comInt("ModbusTcp_Interface", 4, 4, 14); }
RegInteger TcpMedium() { return comInt("ModbusTcp_Medium", 0, 0, 1); }
RegInteger TcpPort() { return comInt("ModbusTcp_Port", 502, 0, 65535); }
RegInteger TcpRequestDelay() { return comInt("ModbusTcp_RequestDelay2A", 10, 10, 10000); }
RegInteger TcpResponseTimeout() { return comInt("ModbusTcp_ResponseTimeout2A", 100, 10, 10000); }
RegString TcpHost() { return string(kComKey, L(kSection), QStringLiteral("ModbusTcp_Host"), L(kDefaultTcpHost)); }
RegBoolean EchoBack() { return boolean(kComKey, L(kSection), QStringLiteral("ECHOBACK"), false); }
RegBoolean Rts() { return boolean(kComKey, L(kSection), QStringLiteral("RTS"), true); }

std::vector<RegInteger> Integers()
{
    return {Address(),   Medium(),       BaudRate(),     Type(),         Parity(),
            Port(),      TransmissionDelay(), ResponseDelay(), StopBits(), TcpInterface(),
            TcpMedium(), TcpPort(),      TcpRequestDelay(), TcpResponseTimeout()};
}

}  // namespace com

// ---- MON\SETTINGS ---------------------------------------------------------------------------

namespace mon {

RegInteger MeterKind(int n) { return fallback(kMonKey, L(kSection), numbered("MONITORMTR", n), 0, 0, 4, 0, true); }
RegInteger LedColour(int n) { return fallback(kMonKey, L(kSection), numbered("MONITORLEDC", n), 0, 0, 4, 4, true); }
RegInteger TraceColour(int n)
{
    return fallback(kMonKey, L(kSection), numbered("MONITORSIGC", n), 0, 0, 4, 4, true);
}
RegInteger TimeSpan(int n) { return fallback(kMonKey, L(kSection), numbered("MONITORintTB", n), 2, 0, 26, 26, true); }
RegInteger PanelTimeSpan() { return fallback(kMonKey, L(kSection), numbered("MONITORintTB", 5), 4, 0, 26, 26, true); }

}  // namespace mon

// ---- OSC\SETTINGS ---------------------------------------------------------------------------

namespace osc {

RegBoolean Legend() { return boolean(kOscKey, L(kOscSection), QStringLiteral("LEGEND"), false); }
RegBoolean AmPm() { return boolean(kOscKey, L(kOscSection), QStringLiteral("AMPM"), true); }
RegInteger Grid() { return fallback(kOscKey, L(kOscSection), QStringLiteral("Grid"), 0, 0, 5, 0, false); }
RegInteger YScale() { return fallback(kOscKey, L(kOscSection), QStringLiteral("YSCALE"), 0, 0, 1, 0, true); }
RegInteger TimeBase() { return fallback(kOscKey, L(kOscSection), QStringLiteral("TIMEBASE"), 1, 0, 19, 1, true); }
RegInteger TimeBaseKnob()
{
    return fallback(kOscKey, L(kOscSection), QStringLiteral("TIMEBASE_KNB"), 50, 1, 100, 50, true);
}
RegBoolean AutoY() { return boolean(kOscKey, L(kOscSection), QStringLiteral("AUTOY"), true); }
RegBoolean MaxY() { return boolean(kOscKey, L(kOscSection), QStringLiteral("MAXY"), true); }
RegBoolean MinY1() { return boolean(kOscKey, L(kOscSection), QStringLiteral("MINY1"), false); }
RegBoolean RealVal() { return boolean(kOscKey, L(kOscSection), QStringLiteral("REALVAL"), false); }

RegString SignalColour(int n)
{
    const QString def = (n >= 1 && n <= 6) ? QString::number(kDefaultSignalColours[n - 1]) : QString();
    return string(kOscKey, L(kColoursSection), numbered("COLORSIG", n), def);
}
RegInteger LineWidth(int n)
{
    return fallback(kOscKey, numbered("SIGNAL", n), numbered("CHANNELLW", n), 1, 0, 3, 1, false);
}
RegString ScaleMin(int n) { return string(kOscKey, L(kScaleSection), numbered("OSCALE", n, "MIN"), QStringLiteral("0.00")); }
RegString ScaleMax(int n)
{
    return string(kOscKey, L(kScaleSection), numbered("OSCALE", n, "MAX"), QStringLiteral("100.00"));
}
RegBoolean ScaleActive(int n) { return boolean(kOscKey, L(kScaleSection), numbered("OSCALE_ACTIVE", n), false); }
RegString ScaleUnit(int n) { return string(kOscKey, L(kScaleSection), numbered("OSCALE_UNIT", n)); }
RegBoolean LongTerm() { return boolean(kOscKey, L(kLongTermSection), QStringLiteral("LongTerm"), false); }
RegString LongTermFile() { return string(kOscKey, L(kLongTermSection), QStringLiteral("LongTermFile")); }
RegInteger LongTermFrequency() { return clamped(kOscKey, L(kLongTermSection), QStringLiteral("LongTermFrequency"), 0); }

}  // namespace osc

// ---- SCL\SETTINGS ---------------------------------------------------------------------------

namespace scl {

RegString MonitorScale(int n) { return string(kSclKey, L(kSection), numbered("MSCALE", n), QStringLiteral("100.0")); }
RegString TrendScale(int n) { return string(kSclKey, L(kSection), numbered("OSCALE", n), QStringLiteral("100.0")); }

}  // namespace scl

}  // namespace rv8::files::reg
