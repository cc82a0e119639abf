// rv8 catalogue and rv8 signals as a user runs them: the CSV they print for a model and
// firmware, option errors and their exit status, and the help texts.
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun Rv8(const QStringList& args)
{
    QProcess p;
    p.start(RV8_CLI, args);
    CliRun r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// RFC 4180 reading: quoted fields may hold commas, quotes are doubled inside them.
std::vector<QStringList> ParseCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    return rows;
}

const QStringList kCatalogueHeader = QString("number,fno,address,group,title,units,edit_type,divisor,minimum,maximum,"
                                             "default,read_only,listed,in_firmware,list")
                                         .split(',');

enum Column { cNumber, cFno, cAddress, cGroup, cTitle, cUnits, cEditType, cDivisor, cMin, cMax, cDefault, cReadOnly,
              cListed, cInFirmware, cList };

std::vector<QStringList> Catalogue(const QStringList& options)
{
    const CliRun r = Rv8(QStringList{"catalogue"} + options);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    std::vector<QStringList> rows = ParseCsv(r.out);
    EXPECT_FALSE(rows.empty());
    if (!rows.empty()) {
        EXPECT_EQ(rows.front(), kCatalogueHeader);
        rows.erase(rows.begin());
    }
    for (const QStringList& row : rows) EXPECT_EQ(row.size(), kCatalogueHeader.size()) << row.join(',').toStdString();
    return rows;
}

const QStringList* RowOf(const std::vector<QStringList>& rows, const QString& fno)
{
    for (const QStringList& row : rows)
        if (row.size() > cFno && row[cFno] == fno) return &row;
    return nullptr;
}

TEST(CliCatalogue, Model150Firmware401)
{
    const std::vector<QStringList> rows = Catalogue({"--model", "150", "--firmware", "401"});
    ASSERT_EQ(rows.size(), 104u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const int address = number <= 84 ? 1000 + number : 1009 + number;
        EXPECT_EQ(rows[i][cNumber], QString::number(number));
        EXPECT_EQ(rows[i][cAddress], QString::number(address));
        EXPECT_EQ(rows[i][cFno], QString("F%1").arg(address - 1000, 3, 10, QChar('0')));
    }
    // The first eighteen registers' defaults as the starter holds them.
    const QStringList defaults = QString("75 100 10 10 0 0 0 0 0 1 40 200 10 350 40 200 10 350").split(' ');
    for (int i = 0; i < 18; ++i) EXPECT_EQ(rows[static_cast<std::size_t>(i)][cDefault], defaults[i]) << i + 1;

    struct Expect {
        const char* fno;
        const char* line;  // columns number .. in_firmware
    } expects[] = {
        {"F001", "1,F001,1001,A,Motor FLA,A.,0,1,75,150,75,0,1,1"},
        {"F022", "22,F022,1022,B,Kick Voltage,%,11,1,10,100,0,0,1,1"},
        {"F023", "23,F023,1023,B,Kick Time,Sec.,0,10,0.1,2.0,0.8,0,1,1"},
        {"F051", "51,F051,1051,F,nCP Trip (No Control Power),,1,1,0,1,0,0,1,1"},
        {"F055", "55,F055,1055,F,Coast Down Timer Value,sec.,0,1,0,3600,0,1,0,1"},
        {"F072", "72,F072,1072,J,Factory Password,,0,1,3871,9999,3871,1,1,1"},
        {"F073", "73,F073,1073,J,Frame Rating,,0,1,10,1500,150,1,1,1"},
        {"F074", "74,F074,1074,J,CT Value,,12,1,10,1500,160,0,1,1"},
        {"F094", "85,F094,1094,M,Run Time Hours,hrs,0,10,0.0,999.9,0.0,1,1,1"},
        {"F101", "92,F101,1101,N,Phase Loss Trip and Delay During Running,Sec.,11,1,0,20,3,0,1,1"},
        {"F106", "97,F106,1106,O,Power Factor Trip Point,,0,100,0.01,1.00,0.50,0,1,1"},
        {"F112", "103,F112,1112,Q,System Settings,,0,1,0,255,5,0,1,1"},
        {"F113", "104,F113,1113,Q,System Settings 2,,0,1,0,255,7,0,1,1"},
    };
    for (const Expect& e : expects) {
        const QStringList* row = RowOf(rows, e.fno);
        ASSERT_NE(row, nullptr) << e.fno;
        EXPECT_EQ(row->mid(0, cList).join(','), e.line);
    }
    EXPECT_EQ((*RowOf(rows, "F010"))[cList], "1=VR1-VR2|2=CR1-CR2|3=VR1-CR2|4=CR1-VR2");
    EXPECT_EQ((*RowOf(rows, "F071"))[cList],
              "0=0:Disabled|1=1:Clear THR and Lockout Timers|2=2:Reset to Factory Default");
    // A list text with a comma survives the quoting.
    const QStringList relay = (*RowOf(rows, "F060"))[cList].split('|');
    ASSERT_EQ(relay.size(), 32);
    EXPECT_EQ(relay[0], "1=Run / Stop (Changes on Start Command, resets on Stop)");
    EXPECT_EQ(relay[22], "23=Any Trip,  flashing output");
}

TEST(CliCatalogue, StandardFirmwareOfTheGenericModel)
{
    const std::vector<QStringList> rows = Catalogue({"--model", "0", "--firmware", "0"});
    ASSERT_EQ(rows.size(), 104u);
    const QStringList& f113 = *RowOf(rows, "F113");
    EXPECT_EQ(f113[cInFirmware], "0");
    EXPECT_EQ(f113[cDefault], "4");
    EXPECT_EQ((*RowOf(rows, "F112"))[cDefault], "4");
    EXPECT_EQ((*RowOf(rows, "F051"))[cDefault], "1");
    EXPECT_EQ((*RowOf(rows, "F101"))[cDefault], "1");
    const QStringList& fla = *RowOf(rows, "F001");
    EXPECT_EQ(fla[cMin], "5");
    EXPECT_EQ(fla[cMax], "1500");
    EXPECT_EQ(fla[cDefault], "5");
    for (const QStringList& row : rows) {
        if (row[cFno] != "F113") {
            EXPECT_EQ(row[cInFirmware], "1") << row[cFno].toStdString();
        }
    }
}

TEST(CliCatalogue, ModelByNameOrByCodeInItsRange)
{
    const std::vector<QStringList> byCode = Catalogue({"--model", "150"});
    EXPECT_EQ(Catalogue({"--model", "RV8-150"}), byCode);
    EXPECT_EQ(Catalogue({"--model", "rv8-150", "--firmware", "401"}), byCode);
    EXPECT_EQ(Catalogue({"--model", "113"}), byCode);
    EXPECT_EQ(Catalogue({"--model", "361", "--firmware", "4.01"}), Catalogue({"--model", "RV8-361"}));
    EXPECT_EQ((*RowOf(Catalogue({"--model", "RV8-275", "--firmware", "130"}), "F001"))[cMin], "138");
}

TEST(CliCatalogue, UnknownModelOrFirmwareExitsWithStatus2)
{
    const QStringList bad[] = {
        {"--model", "1251"}, {"--model", "-1"},        {"--model", "RV8-151"}, {"--model", "banana"},
        {"--firmware", "402"}, {"--firmware", "abc"}, {"--firmware", "1.35"},  {"--no-such-option"},
        {"extra"},
    };
    for (const QStringList& args : bad) {
        const CliRun r = Rv8(QStringList{"catalogue"} + args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("rv8 catalogue: ")) << r.err.toStdString();
    }
    EXPECT_TRUE(Rv8({"catalogue", "--model", "1251"}).err.contains("1251"));
    EXPECT_TRUE(Rv8({"catalogue", "--firmware", "402"}).err.contains("401"));  // lists the known versions
    EXPECT_EQ(Rv8({"signals", "--model", "banana"}).status, 2);
}

TEST(CliSignals, PrintsTheSignalCatalogue)
{
    const CliRun r = Rv8({"signals", "--model", "150"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const std::vector<QStringList> rows = ParseCsv(r.out);
    ASSERT_EQ(rows.size(), 22u);
    EXPECT_EQ(rows[0].join(','),
              "number,address,title,units,edit_type,divisor,minimum,maximum,mask,shift,save_id,legacy,monitor_only");
    EXPECT_EQ(rows[1].join(','), "1,2000,NOT USED,,0,1,0,1,0,0,NotUsd,0,0");
    EXPECT_EQ(rows[2].join(','), "2,2000,Phase A Current,A,3,1,0,75,0,0,PhsACur,1,0");
    EXPECT_EQ(rows[6].join(','), "6,2004,Line AB Voltage,V,6,1,0,208,0,0,LneAbVlt,6,0");
    EXPECT_EQ(rows[9].join(','), "9,2007,Power Factor,,21,100,0.00,1.00,0,0,PowFct,11,0");
    EXPECT_EQ(rows[17].join(','), "17,2015,Relay #2,,20,1,0,1,2,1,Rly2,6,0");
    EXPECT_EQ(rows[21].join(','), "21,2021,System State Register,,21,1,0,255,0,0,SysStaReg,-1,1");
}

TEST(CliCatalogue, HelpDescribesEveryOption)
{
    const CliRun c = Rv8({"catalogue", "--help"});
    EXPECT_EQ(c.status, 0);
    for (const char* option : {"--model", "--firmware", "--advanced", "--help"})
        EXPECT_TRUE(c.out.contains(option)) << option;
    const CliRun s = Rv8({"signals", "--help"});
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(s.out.contains("--model"));
    const CliRun top = Rv8({"--help"});
    EXPECT_TRUE(top.out.contains("catalogue"));
    EXPECT_TRUE(top.out.contains("signals"));
}

}  // namespace
