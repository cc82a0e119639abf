// The settings store: value names and key paths, defaults, clamping and fallbacks, storage as
// text, and reads that survive whatever is stored.
#include "files/RegValues.h"
#include "files/uReg.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>

using namespace rv8::files;
using rv8::comm::ProgramOptions;

namespace {

class RegTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("RV8.conf"));
        location = SettingsLocation::File(path);
    }

    // What is in the file, read past TReg (the key relative to the product key).
    // QSettings objects of one process on one file share what they hold, so these see TReg's
    // writes at once and TReg sees theirs.
    QVariant raw(const QString& key) { return rawSettings().value(key); }
    void putRaw(const QString& key, const QVariant& value) { rawSettings().setValue(key, value); }
    QSettings& rawSettings()
    {
        if (!rawStore)
            rawStore = std::make_unique<QSettings>(path, QSettings::IniFormat);
        return *rawStore;
    }
    static QString keyOf(const RegBoolean& v) { return TReg::SettingsKey(v.Key, v.Section, v.Value.KeyName); }
    static QString keyOf(const RegInteger& v) { return TReg::SettingsKey(v.Key, v.Section, v.Value.KeyName); }
    static QString keyOf(const RegString& v) { return TReg::SettingsKey(v.Key, v.Section, v.Value.KeyName); }

    QTemporaryDir dir;
    QString path;
    SettingsLocation location;
    std::unique_ptr<QSettings> rawStore;
};

// ---- names, key paths and defaults ----------------------------------------------------------

struct IntRow {
    const char* what;
    RegInteger value;
    const char* key;  // relative to the product key
    int def;
    int min;
    int max;
};

std::vector<IntRow> clampedIntegers()
{
    return {
        {"NSC", reg::setup::NSC(), "SETUP/PRG/NSC", 16, 1, 254},
        {"proxy port", reg::setup::ProxyPort(), "SETUP/AutomaticUpdate/ProxySettings/PORT", 8080, INT_MIN, INT_MAX},
        {"address", reg::com::Address(), "COM/SETTINGS/SETUP/ADDRESS", 1, 1, 254},
        {"medium", reg::com::Medium(), "COM/SETTINGS/SETUP/MEDIUM", 0, 0, 1},
        {"baud rate", reg::com::BaudRate(), "COM/SETTINGS/SETUP/BAUDRATE", 1, 0, 3},
        {"type", reg::com::Type(), "COM/SETTINGS/SETUP/TYPE", 1, 1, 13},
        {"parity", reg::com::Parity(), "COM/SETTINGS/SETUP/PARITY", 0, 0, 2},
        {"port", reg::com::Port(), "COM/SETTINGS/SETUP/PORT", 0, 0, 15},
        {"tx delay", reg::com::TransmissionDelay(), "COM/SETTINGS/SETUP/TRANSMISSION_DELAY2A", 10, 10, 10000},
        {"rx delay", reg::com::ResponseDelay(), "COM/SETTINGS/SETUP/RESPONSE_DELAY2A", 50, 10, 10000},
        {"stop bits", reg::com::StopBits(), "COM/SETTINGS/SETUP/STOPBITS", 0, 0, 1},
        {"tcp interface", reg::com::TcpInterface(), "COM/SETTINGS/SETUP/ModbusTcp_Interface", 4, 4, 14},
        {"tcp medium", reg::com::TcpMedium(), "COM/SETTINGS/SETUP/ModbusTcp_Medium", 0, 0, 1},
        {"tcp port", reg::com::TcpPort(), "COM/SETTINGS/SETUP/ModbusTcp_Port", 502, 0, 65535},
        {"tcp delay", reg::com::TcpRequestDelay(), "COM/SETTINGS/SETUP/ModbusTcp_RequestDelay2A", 10, 10, 10000},
        {"tcp timeout", reg::com::TcpResponseTimeout(), "COM/SETTINGS/SETUP/ModbusTcp_ResponseTimeout2A", 100, 10,
         10000},
        {"long-term frequency", reg::osc::LongTermFrequency(), "OSC/SETTINGS/Osc/LongTermFrequency", 0, INT_MIN,
         INT_MAX},
    };
}

TEST_F(RegTest, ClampedIntegersHaveTheirKeysDefaultsAndRanges)
{
    TReg reg({}, location);
    for (const IntRow& row : clampedIntegers()) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(keyOf(row.value), QString::fromLatin1(row.key));
        EXPECT_EQ(reg.Read(row.value), row.def) << "missing value gives the default";
        if (row.min != INT_MIN) {
            putRaw(row.key, QString::number(row.min - 1));
            EXPECT_EQ(reg.Read(row.value), row.min) << "below the range";
            putRaw(row.key, QString::number(row.min));
            EXPECT_EQ(reg.Read(row.value), row.min);
        }
        if (row.max != INT_MAX) {
            putRaw(row.key, QString::number(row.max + 1));
            EXPECT_EQ(reg.Read(row.value), row.max) << "above the range";
            putRaw(row.key, QString::number(row.max));
            EXPECT_EQ(reg.Read(row.value), row.max);
        }
        putRaw(row.key, QStringLiteral("x1"));
        EXPECT_EQ(reg.Read(row.value), row.def) << "garbage gives the default";
    }
}

TEST_F(RegTest, NodeCountToScanIsKeptWithin1To254)
{
    TReg reg({}, location);
    const struct {
        const char* stored;
        int read;
    } rows[] = {{"500", 254}, {"0", 1}, {"-3", 1}, {"254", 254}, {"1", 1}, {"32", 32}, {"abc", 16}, {"", 16}};
    for (const auto& row : rows) {
        putRaw(QStringLiteral("SETUP/PRG/NSC"), QString::fromLatin1(row.stored));
        EXPECT_EQ(reg.Read(reg::setup::NSC()), row.read) << "stored " << row.stored;
        EXPECT_EQ(reg::ReadProgramOptions(reg).NSC, row.read) << "stored " << row.stored;
    }
}

TEST_F(RegTest, BooleansAndStringsHaveTheirKeysAndDefaults)
{
    TReg reg({}, location);
    const struct {
        RegBoolean value;
        const char* key;
        bool def;
    } booleans[] = {
        {reg::setup::UpdateNotification(), "SETUP/AutomaticUpdate/UpdateNotification/UpdateNotification", true},
        {reg::setup::ProxyUse(), "SETUP/AutomaticUpdate/ProxySettings/USE", false},
        {reg::com::EchoBack(), "COM/SETTINGS/SETUP/ECHOBACK", false},
        {reg::com::Rts(), "COM/SETTINGS/SETUP/RTS", true},
        {reg::osc::Legend(), "OSC/SETTINGS/OSC/LEGEND", false},
        {reg::osc::AmPm(), "OSC/SETTINGS/OSC/AMPM", true},
        {reg::osc::AutoY(), "OSC/SETTINGS/OSC/AUTOY", true},
        {reg::osc::MaxY(), "OSC/SETTINGS/OSC/MAXY", true},
        {reg::osc::MinY1(), "OSC/SETTINGS/OSC/MINY1", false},
        {reg::osc::RealVal(), "OSC/SETTINGS/OSC/REALVAL", false},
        {reg::osc::ScaleActive(6), "OSC/SETTINGS/SCALE/OSCALE_ACTIVE6", false},
        {reg::osc::LongTerm(), "OSC/SETTINGS/Osc/LongTerm", false},
    };
    for (const auto& row : booleans) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(keyOf(row.value), QString::fromLatin1(row.key));
        EXPECT_EQ(reg.Read(row.value), row.def);
    }
    const struct {
        RegString value;
        const char* key;
        const char* def;
    } strings[] = {
        {reg::setup::InstallPath(), "SETUP/PROGRAM/INSTALLPATH", ""},
        {reg::setup::Version(), "SETUP/PROGRAM/VERSION", ""},
        {reg::setup::SearchText(), "SETUP/FHIS/SF", ""},
        {reg::setup::FirstTimeStartID(), "SETUP/AutomaticUpdate/UpdateNotification/FirstTimeStartID", ""},
        {reg::setup::ProxyAddress(), "SETUP/AutomaticUpdate/ProxySettings/ADDR", ""},
        {reg::setup::ProxyUserName(), "SETUP/AutomaticUpdate/ProxySettings/UN", ""},
        {reg::setup::ProxyPassword(), "SETUP/AutomaticUpdate/ProxySettings/PW", ""},
        {reg::com::TcpHost(), "COM/SETTINGS/SETUP/ModbusTcp_Host", reg::com::kDefaultTcpHost},
        {reg::osc::SignalColour(1), "OSC/SETTINGS/COLORS/COLORSIG1", "255"},
        {reg::osc::SignalColour(2), "OSC/SETTINGS/COLORS/COLORSIG2", "16711680"},
        {reg::osc::SignalColour(3), "OSC/SETTINGS/COLORS/COLORSIG3", "0"},
        {reg::osc::SignalColour(4), "OSC/SETTINGS/COLORS/COLORSIG4", "32768"},
        {reg::osc::SignalColour(5), "OSC/SETTINGS/COLORS/COLORSIG5", "8388736"},
        {reg::osc::SignalColour(6), "OSC/SETTINGS/COLORS/COLORSIG6", "16776960"},
        {reg::osc::ScaleMin(3), "OSC/SETTINGS/SCALE/OSCALE3MIN", "0.00"},
        {reg::osc::ScaleMax(3), "OSC/SETTINGS/SCALE/OSCALE3MAX", "100.00"},
        {reg::osc::ScaleUnit(2), "OSC/SETTINGS/SCALE/OSCALE_UNIT2", ""},
        {reg::osc::LongTermFile(), "OSC/SETTINGS/Osc/LongTermFile", ""},
        {reg::scl::MonitorScale(4), "SCL/SETTINGS/SCALE/MSCALE4", "100.0"},
        {reg::scl::TrendScale(6), "SCL/SETTINGS/SCALE/OSCALE6", "100.0"},
    };
    for (const auto& row : strings) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(keyOf(row.value), QString::fromLatin1(row.key));
        EXPECT_EQ(reg.Read(row.value), QString::fromLatin1(row.def));
    }
}

TEST_F(RegTest, ProgramOptionsHaveTheirNamesAndDefaults)
{
    const std::pair<const char*, bool> expected[] = {
        {"L1A", false}, {"L2", false}, {"L3", false},  {"L4", true},   {"L5", false},  {"L6", false},  {"L7", true},
        {"L8", true},   {"L9", false}, {"L12", true},  {"L13", true},  {"L14", true},  {"L15", false}, {"L16", false},
        {"L20", false}, {"L22", false}, {"L26", true}, {"L27", false}, {"L28", true},  {"L30", false}, {"L31", false},
    };
    const auto& table = reg::setup::Options();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(keyOf(table[i].value), QStringLiteral("SETUP/PRG/") + QString::fromLatin1(expected[i].first));
        EXPECT_EQ(table[i].value.Value.DefaultValue, expected[i].second) << expected[i].first;
    }
    TReg reg({}, location);
    EXPECT_EQ(reg::ReadProgramOptions(reg), ProgramOptions{}) << "an empty store gives every default";
}

TEST_F(RegTest, ProgramOptionsRoundTripAsText)
{
    TReg reg({}, location);
    ProgramOptions flipped;
    for (const auto& row : reg::setup::Options())
        flipped.*row.member = !(flipped.*row.member);
    flipped.NSC = 200;
    reg::WriteProgramOptions(reg, flipped);

    reg.Close();  // saves
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains("[SETUP]")) << text.constData();
        EXPECT_TRUE(text.contains("PRG\\L22=1")) << text.constData();
        EXPECT_TRUE(text.contains("PRG\\NSC=200")) << text.constData();
    }
    TReg other({}, location);
    EXPECT_EQ(reg::ReadProgramOptions(other), flipped);
    EXPECT_EQ(raw(QStringLiteral("SETUP/PRG/L1A")), QVariant(QStringLiteral("1")));
    EXPECT_EQ(raw(QStringLiteral("SETUP/PRG/L4")), QVariant(QStringLiteral("0")));
    EXPECT_EQ(raw(QStringLiteral("SETUP/PRG/NSC")), QVariant(QStringLiteral("200")));
}

// ---- reading stored text --------------------------------------------------------------------

TEST_F(RegTest, BooleanIsTrueForAStoredIntegerAboveZero)
{
    TReg reg(QString::fromLatin1(reg::kSetupKey), location);
    const struct {
        const char* stored;
        int expected;  // 1 true, 0 false, -1 the default
    } rows[] = {
        {"1", 1},  {"2", 1},  {"+7", 1}, {" 1 ", 1}, {"0", 0},    {"-1", 0},   {"-0", 0},      {"yes", -1},
        {"", -1},  {"1.0", -1}, {"0x1", -1}, {"1a", -1}, {"true", -1}, {"+", -1}, {"99999999999", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        putRaw(QStringLiteral("SETUP/PRG/L3"), QString::fromLatin1(row.stored));
        const bool whenDefaultFalse = reg.ReadBoolean(QStringLiteral("PRG"), QStringLiteral("L3"), false);
        const bool whenDefaultTrue = reg.ReadBoolean(QStringLiteral("PRG"), QStringLiteral("L3"), true);
        if (row.expected < 0) {
            EXPECT_FALSE(whenDefaultFalse);
            EXPECT_TRUE(whenDefaultTrue);
        } else {
            EXPECT_EQ(whenDefaultFalse, row.expected == 1);
            EXPECT_EQ(whenDefaultTrue, row.expected == 1);
        }
    }
}

TEST_F(RegTest, ValuesStoredAsAnotherTypeReadTheirDefaults)
{
    // As a hand-edited or foreign file may hold them: binary, a list, another type; and a number
    // value next to them that is fine.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[COM]\n"
            "SETTINGS\\SETUP\\ADDRESS=@ByteArray(\\x1)\n"
            "SETTINGS\\SETUP\\PORT=3, 4\n"
            "SETTINGS\\SETUP\\RTS=0, 1\n"
            "SETTINGS\\SETUP\\ModbusTcp_Host=@Size(3 4)\n"
            "SETTINGS\\SETUP\\BAUDRATE=2\n");
    f.close();
    TReg reg({}, location);
    EXPECT_EQ(reg.Read(reg::com::Address()), 1);
    EXPECT_EQ(reg.Read(reg::com::Port()), 0);
    EXPECT_TRUE(reg.Read(reg::com::Rts()));
    EXPECT_EQ(reg.Read(reg::com::TcpHost()), QString::fromLatin1(reg::com::kDefaultTcpHost));
    EXPECT_EQ(reg.Read(reg::com::BaudRate()), 2);
}

TEST_F(RegTest, StringsRoundTripExactly)
{
    TReg reg({}, location);
    const QString texts[] = {
        QString(),
        QStringLiteral("plain"),
        QStringLiteral("a, b, c"),
        QStringLiteral("  padded  "),
        QStringLiteral("quote \" and backslash \\ and ; = #"),
        QStringLiteral("@ByteArray(not really)"),
        QStringLiteral("C:\\Program Files\\RV8"),
        QString::fromUtf8("Motor \xC3\xBC\xC3\x9F \xE2\x82\xAC"),
        QStringLiteral("line\nbreak"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        reg.Write(reg::setup::ProxyPassword(), text);
        EXPECT_EQ(TReg({}, location).Read(reg::setup::ProxyPassword()), text);
        const QVariant stored = raw(QStringLiteral("SETUP/AutomaticUpdate/ProxySettings/PW"));
        EXPECT_EQ(stored.typeId(), QMetaType::QString) << "kept as text";
    }
}

TEST_F(RegTest, EveryWriteStoresText)
{
    TReg reg(QString::fromLatin1(reg::kComKey), location);
    reg.WriteBoolean(QStringLiteral("SETUP"), QStringLiteral("ECHOBACK"), true);
    reg.WriteInteger(QStringLiteral("SETUP"), QStringLiteral("PORT"), 7);
    reg.Write(reg::com::TcpPort(), 65535);
    reg.Write(reg::com::Rts(), false);
    reg.WriteIntegerAsString(QStringLiteral("SETUP"), QStringLiteral("ADDRESS"), QStringLiteral(" 042 "));
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/ECHOBACK")), QVariant(QStringLiteral("1")));
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/PORT")), QVariant(QStringLiteral("7")));
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/ModbusTcp_Port")), QVariant(QStringLiteral("65535")));
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/RTS")), QVariant(QStringLiteral("0")));
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/ADDRESS")), QVariant(QStringLiteral("42")));

    // Text that is not an integer leaves the stored value alone.
    reg.WriteIntegerAsString(QStringLiteral("SETUP"), QStringLiteral("ADDRESS"), QStringLiteral("4 2"));
    reg.WriteIntegerAsString(QStringLiteral("SETUP"), QStringLiteral("ADDRESS"), QString());
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/ADDRESS")), QVariant(QStringLiteral("42")));
}

// ---- the component's own operations --------------------------------------------------------

TEST_F(RegTest, PathAndSectionOperations)
{
    TReg reg(QStringLiteral("SOFTWARE\\VORNEKA\\RV8\\SETUP"), location);
    reg.SetSection(QStringLiteral("PRG"));
    EXPECT_FALSE(reg.Open()) << "nothing stored yet, and Open creates nothing";
    EXPECT_FALSE(QFile::exists(path) && raw(QStringLiteral("SETUP/PRG/L2")).isValid());

    reg.WriteBoolean(QStringLiteral("PRG"), QStringLiteral("L2"), true);
    EXPECT_TRUE(reg.Open());
    reg.Close();
    EXPECT_FALSE(reg.IsOpen());

    // Separators: a trailing or doubled backslash makes no difference, nor does a nested section.
    TReg slashes(QStringLiteral("SOFTWARE\\VORNEKA\\RV8\\SETUP\\"), location);
    EXPECT_TRUE(slashes.ReadBoolean(QStringLiteral("\\PRG\\"), QStringLiteral("L2"), false));
    slashes.WriteString(QStringLiteral("AutomaticUpdate\\ProxySettings"), QStringLiteral("ADDR"),
                        QStringLiteral("proxy.example"));
    EXPECT_EQ(reg.Read(reg::setup::ProxyAddress()), QStringLiteral("proxy.example"));

    // The clamping overload takes max before min; the string form is the clamped integer.
    reg.WriteString(QStringLiteral("PRG"), QStringLiteral("NSC"), QStringLiteral("999"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("PRG"), QStringLiteral("NSC"), 16), 999);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("PRG"), QStringLiteral("NSC"), 254, 1, 16), 254);
    EXPECT_EQ(reg.ReadIntegerAsString(QStringLiteral("PRG"), QStringLiteral("NSC"), 254, 1, 16), QStringLiteral("254"));
    const TKeyValueSettings_Integer nsc{16, 1, 254, QStringLiteral("NSC")};
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("PRG"), nsc), 254);
    reg.WriteIntegerAsString(QStringLiteral("PRG"), nsc, QStringLiteral("0"));
    EXPECT_EQ(reg.ReadIntegerAsString(QStringLiteral("PRG"), nsc), QStringLiteral("1"));

    QString out = QStringLiteral("before");
    EXPECT_EQ(reg.ReadString(QStringLiteral("PRG"), QStringLiteral("NOPE"), out, QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_EQ(out, QStringLiteral("dflt"));
}

TEST_F(RegTest, FallbackValuesAreReplacedAndWrittenBackWhereMarked)
{
    const struct {
        const char* what;
        RegInteger value;
        const char* key;
        int def;
        const char* stored;
        int read;
        bool writtenBack;
    } rows[] = {
        {"meter kind", reg::mon::MeterKind(2), "MON/SETTINGS/MENU/MONITORMTR2", 0, "5", 0, true},
        {"meter kind ok", reg::mon::MeterKind(2), "MON/SETTINGS/MENU/MONITORMTR2", 0, "4", 4, false},
        {"led colour", reg::mon::LedColour(1), "MON/SETTINGS/MENU/MONITORLEDC1", 0, "9", 4, true},
        {"led colour negative", reg::mon::LedColour(1), "MON/SETTINGS/MENU/MONITORLEDC1", 0, "-1", 4, true},
        {"trace colour", reg::mon::TraceColour(4), "MON/SETTINGS/MENU/MONITORSIGC4", 0, "5", 4, true},
        {"time span", reg::mon::TimeSpan(3), "MON/SETTINGS/MENU/MONITORintTB3", 2, "27", 26, true},
        {"panel span", reg::mon::PanelTimeSpan(), "MON/SETTINGS/MENU/MONITORintTB5", 4, "100", 26, true},
        {"grid", reg::osc::Grid(), "OSC/SETTINGS/OSC/Grid", 0, "6", 0, false},
        {"y scale", reg::osc::YScale(), "OSC/SETTINGS/OSC/YSCALE", 0, "2", 0, true},
        {"time base", reg::osc::TimeBase(), "OSC/SETTINGS/OSC/TIMEBASE", 1, "20", 1, true},
        {"time base ok", reg::osc::TimeBase(), "OSC/SETTINGS/OSC/TIMEBASE", 1, "19", 19, false},
        {"knob", reg::osc::TimeBaseKnob(), "OSC/SETTINGS/OSC/TIMEBASE_KNB", 50, "0", 50, true},
        {"knob high", reg::osc::TimeBaseKnob(), "OSC/SETTINGS/OSC/TIMEBASE_KNB", 50, "101", 50, true},
        {"line width", reg::osc::LineWidth(5), "OSC/SETTINGS/SIGNAL5/CHANNELLW5", 1, "4", 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TReg reg({}, location);
        rawSettings().clear();
        EXPECT_EQ(keyOf(row.value), QString::fromLatin1(row.key));
        EXPECT_EQ(reg.Read(row.value), row.def);
        EXPECT_EQ(reg.Repair(row.value), row.def) << "a missing value is valid and stays missing";
        EXPECT_FALSE(raw(row.key).isValid());

        putRaw(row.key, QString::fromLatin1(row.stored));
        EXPECT_EQ(reg.Read(row.value), row.read);
        EXPECT_EQ(raw(row.key), QVariant(QString::fromLatin1(row.stored))) << "Read never writes";
        EXPECT_EQ(reg.Repair(row.value), row.read);
        const QString after = row.writtenBack ? QString::number(row.read) : QString::fromLatin1(row.stored);
        EXPECT_EQ(raw(row.key), QVariant(after));
    }
}

// ---- where the values live ------------------------------------------------------------------

TEST_F(RegTest, TwoComponentsOnOneLocationSeeEachOthersWrites)
{
    TReg first(QString::fromLatin1(reg::kSetupKey), location);
    TReg second(QString::fromLatin1(reg::kSetupKey), location);
    EXPECT_EQ(second.ReadString(QStringLiteral("FHIS"), QStringLiteral("SF")), QString());
    first.Write(reg::setup::SearchText(), QStringLiteral("motor"));
    EXPECT_EQ(second.ReadString(QStringLiteral("FHIS"), QStringLiteral("SF")), QStringLiteral("motor"));
}

TEST_F(RegTest, DefaultLocationCanBeRedirected)
{
    const SettingsLocation before = SettingsLocation::Default();
    SettingsLocation::SetDefault(location);
    {
        TReg reg;
        reg.Write(reg::com::Address(), 17);
    }
    SettingsLocation::SetDefault(before);
    EXPECT_EQ(raw(QStringLiteral("COM/SETTINGS/SETUP/ADDRESS")), QVariant(QStringLiteral("17")));
    EXPECT_EQ(TReg({}, location).Read(reg::com::Address()), 17);
}

TEST_F(RegTest, UserLocationIsTheNativeStoreBelowTheProductKey)
{
    const auto settings = SettingsLocation::User().Open();
    EXPECT_EQ(settings->format(), QSettings::NativeFormat);
    EXPECT_FALSE(settings->fallbacksEnabled());
#if defined(Q_OS_WIN)
    EXPECT_TRUE(settings->fileName().endsWith(QStringLiteral("\\Software\\VORNEKA\\RV8"), Qt::CaseInsensitive));
#else
    EXPECT_TRUE(settings->fileName().endsWith(QStringLiteral("/VORNEKA/RV8.conf"))) << settings->fileName().toStdString();
#endif
}

TEST_F(RegTest, AnUnwritableStoreLosesWritesSilentlyAndReadsDefaults)
{
    // A location whose folder is a plain file can be neither created nor written.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const SettingsLocation nowhere = SettingsLocation::File(blocker + QStringLiteral("/RV8.conf"));
    TReg reg({}, nowhere);
    EXPECT_EQ(reg.Read(reg::com::TcpPort()), 502);
    reg.Write(reg::com::TcpPort(), 1502);
    reg.Write(reg::com::TcpHost(), QStringLiteral("10.0.0.1"));
    EXPECT_FALSE(QFile::exists(blocker + QStringLiteral("/RV8.conf")));
    EXPECT_EQ(reg.Read(reg::com::TcpPort()), 502);
    EXPECT_EQ(TReg({}, nowhere).Read(reg::com::TcpHost()), QString::fromLatin1(reg::com::kDefaultTcpHost));
}

TEST_F(RegTest, AGarbledFileReadsDefaults)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x00\xff[[[SETUP\n=\n\\\\\n[PRG\nL4=\nNSC\n\xfe\xfe", 27);
    f.close();
    TReg reg({}, location);
    EXPECT_EQ(reg::ReadProgramOptions(reg).NSC, 16);
    EXPECT_EQ(reg.Read(reg::com::Address()), 1);
    EXPECT_TRUE(reg.Read(reg::setup::UpdateNotification()));
}

}  // namespace
