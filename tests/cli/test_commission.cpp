// Commissioning a starter from the command line: rv8 read, write, compare and backup run as a
// user runs them, against the simulated starter on loopback (on a thread of its own), with a
// project file written by hand in the documented layout and libmodbus as the third-party master
// that checks what reached the starter's registers.
#include "tests/comm/SimThread.h"

#include "param/Catalogue.h"
#include "param/Models.h"
#include "sim/SimClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <cmath>
#include <functional>
#include <map>

using rv8::test::SimThread;

namespace {

const QString kHandWritten = QStringLiteral(RV8_SOURCE_DIR "/tests/cli/data/Pumpe3_RV8-150_401.RV8Proj");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome Rv8(const QStringList& args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());  // no terminal: questions are refused
    p.start(RV8_CLI, args);
    Outcome r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file's lines (CR LF) without the date line, which carries the day of the save.
QList<QByteArray> LinesWithoutDate(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    QList<QByteArray> kept;
    for (const QByteArray& line : lines)
        if (!line.startsWith("DATE       : "))
            kept << line;
    return kept;
}

QList<QByteArray> ParameterLines(const QByteArray& bytes)
{
    QList<QByteArray> out;
    bool inParameters = false;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.startsWith('['))
            inParameters = line == "[PARAMETERS RV8 TOOL]\r";
        else if (inParameters && !line.trimmed().isEmpty())
            out << line;
    }
    return out;
}

// A simulated RV8-150 with firmware 4.01 whose motor stays at rest.
class Starter {
public:
    explicit Starter(int modelCode = 150, int firmware = 401) : m_sim(Config(modelCode, firmware))
    {
        EXPECT_TRUE(m_sim.Ok()) << m_sim.Error().toStdString();
        m_port = m_sim.ListenTcp(rv8::sim::Medium::ModbusTcp);
        EXPECT_NE(m_port, 0);
    }
    quint16 Port() const { return m_port; }
    QStringList Connection() const
    {
        return {"--tcp", QStringLiteral("127.0.0.1:%1").arg(m_port), "--delay-ms", "0", "--timeout-ms", "1000",
                "--attempts", "2"};
    }
    void SetParameter(uint16_t address, uint16_t value)
    {
        m_sim.Run([&](rv8::sim::SimulatedStarter& s) { s.Node(1)->SetParameter(address, value); });
    }
    int Writes()
    {
        int n = 0;
        for (const auto& e : m_sim.Log())
            n += e.function == 16 ? 1 : 0;
        return n;
    }
    int Requests() { return static_cast<int>(m_sim.Log().size()); }
    void ClearLog() { m_sim.ClearLog(); }

private:
    static rv8::sim::SimulatedStarter::Config Config(int modelCode, int firmware)
    {
        rv8::sim::SimulatedStarter::Config c;
        c.modelCode = modelCode;
        c.firmware = firmware;
        c.clock = std::make_shared<rv8::sim::ManualClock>(0);
        c.nodeOptions.motorCycling = false;
        return c;
    }

    SimThread m_sim;
    quint16 m_port = 0;
};

// The register word of a parameter line's value, from the catalogue's address and divisor.
struct ExpectedRegister {
    uint16_t address = 0;
    uint16_t word = 0;
};

std::map<QString, ExpectedRegister> ExpectedRegisters(const QByteArray& file)
{
    using namespace rv8::param;
    SELECTION = {};
    SELECTION.CurrentModelCode = 150;
    SELECTION.CurrentFlashIndex = FlashIndexOfNumber(401);
    SELECTION.CurrentFirmwareVersion = 401;
    EXPECT_EQ(BuildCatalogue(true), "");
    std::map<QString, ExpectedRegister> out;
    for (const QByteArray& line : ParameterLines(file)) {
        const QString text = QString::fromLatin1(line);
        const QString key = text.section('=', 0, 0);
        const QString value = text.section('=', 1).section(';', 0, 0);
        for (int n = 1; n <= PRM_TABLE.Count(); ++n) {
            if (QString::fromStdString(PRM_TABLE[n].SaveId) != key)
                continue;
            const double divisor = static_cast<double>(GetPrmDivisor(PRM_TABLE, n).Round());
            out[key] = {PRM_TABLE[n].PRMADDR, static_cast<uint16_t>(std::lround(value.toDouble() * divisor))};
        }
    }
    return out;
}

// Reads registers with libmodbus; empty when the read failed.
std::vector<uint16_t> LibmodbusRead(quint16 port, int address, int count)
{
    std::vector<uint16_t> values(static_cast<size_t>(count));
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
    if (ctx == nullptr)
        return {};
    modbus_set_slave(ctx, 1);
    modbus_set_response_timeout(ctx, 1, 0);
    const bool ok = modbus_connect(ctx) == 0 && modbus_read_registers(ctx, address, count, values.data()) == count;
    modbus_close(ctx);
    modbus_free(ctx);
    return ok ? values : std::vector<uint16_t>{};
}

class Commission : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

}  // namespace

// The hand-written file reaches the starter's registers (read back by libmodbus), and rv8 read
// writes the file again, byte for byte, but for its date.
TEST_F(Commission, HandWrittenFileIsWrittenAndReadBackByteForByte)
{
    const QByteArray handWritten = ReadBytes(kHandWritten);
    ASSERT_FALSE(handWritten.isEmpty());
    ASSERT_TRUE(handWritten.contains("J\xFCrgen M\xFCller\r\n"));  // Latin-1, CR LF

    Starter starter;
    const Outcome write = Rv8(QStringList{"write", "--yes", kHandWritten} + starter.Connection());
    ASSERT_EQ(write.status, 0) << write.err.toStdString();
    EXPECT_GT(starter.Writes(), 0);

    const std::map<QString, ExpectedRegister> expected = ExpectedRegisters(handWritten);
    ASSERT_EQ(expected.size(), static_cast<size_t>(ParameterLines(handWritten).size()));
    const std::vector<uint16_t> registers = LibmodbusRead(starter.Port(), 1001, 113);
    ASSERT_EQ(registers.size(), 113u);
    for (const auto& [key, reg] : expected) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(registers[reg.address - 1001u], reg.word);
    }

    const QString readBack = Path("read.RV8Proj");
    const Outcome read = Rv8(QStringList{"read", "--out", readBack, "--name", "Pumpstation Süd", "--user",
                                         "Jürgen Müller", "--info", "Kläranlage Nord, Pumpe 3\nMotor: 110 A, Anlauf 12 s"}
                             + starter.Connection());
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    const QByteArray bytes = ReadBytes(readBack);
    EXPECT_EQ(ParameterLines(bytes), ParameterLines(handWritten));
    EXPECT_EQ(LinesWithoutDate(bytes), LinesWithoutDate(handWritten));
    EXPECT_TRUE(bytes.contains("\r\nDATE       : "));
}

// read -> save -> write -> read: a second starter with other values ends up with the same file.
TEST_F(Commission, ReadWriteReadGivesIdenticalFiles)
{
    Starter source;
    source.SetParameter(1001, 140);
    source.SetParameter(1010, 4);
    source.SetParameter(1023, 17);
    const QString first = Path("first.RV8Proj");
    Outcome r = Rv8(QStringList{"read", "--out", first} + source.Connection());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    Starter target;
    const QString before = Path("before.RV8Proj");
    ASSERT_EQ(Rv8(QStringList{"read", "--out", before} + target.Connection()).status, 0);
    ASSERT_NE(LinesWithoutDate(ReadBytes(before)), LinesWithoutDate(ReadBytes(first)));

    r = Rv8(QStringList{"write", first, "--yes"} + target.Connection());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString second = Path("second.RV8Proj");
    r = Rv8(QStringList{"read", "--out", second} + target.Connection());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(LinesWithoutDate(ReadBytes(second)), LinesWithoutDate(ReadBytes(first)));
    EXPECT_FALSE(ReadBytes(first).contains("[PROJECT NAME]"));  // no information asked for
}

TEST_F(Commission, CompareExitStatuses)
{
    Starter starter;
    ASSERT_EQ(Rv8(QStringList{"write", "--yes", kHandWritten} + starter.Connection()).status, 0);
    QFile::copy(kHandWritten, Path("bad.RV8Proj"));
    {
        QByteArray bytes = ReadBytes(kHandWritten);
        bytes.replace("F023=1.2;", "F023=1,2;");
        QFile f(Path("bad.RV8Proj"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    const QStringList silent{"--tcp", "127.0.0.1:1", "--delay-ms", "0", "--timeout-ms", "200", "--attempts", "1"};

    struct Row {
        const char* name;
        std::function<void()> prepare;
        QStringList args;
        int status;
        const char* out;  // expected in stdout ("" : stdout empty)
        const char* err;  // expected in stderr
    };
    const Row rows[] = {
        {"match", [] {}, {"compare", kHandWritten}, 0, "", "all 73 parameters match"},
        {"one value differs", [&] { starter.SetParameter(1023, 15); }, {"compare", kHandWritten}, 1,
         "F023  Kick Time: file 1.2 Sec., starter 1.5 Sec.\n", "1 of 73 parameters differ"},
        {"list value differs", [&] { starter.SetParameter(1010, 1); }, {"compare", kHandWritten}, 1,
         "F010  Ramp Select: file VR1-CR2 (3), starter VR1-VR2 (1)\n", "2 of 73 parameters differ"},
        {"file missing", [] {}, {"compare", "/nonexistent/x.RV8Proj"}, 2, "", "Unable to open file for read access."},
        {"bad line", [] {}, {"compare", "PLACEHOLDER"}, 2, "", "Error in line: 34."},
        {"no starter", [] {}, {"compare", kHandWritten}, 2, "", "cannot open 127.0.0.1:1"},
        {"no file named", [] {}, {"compare"}, 2, "", "name one project file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.prepare();
        QStringList args = row.args;
        for (QString& a : args)
            if (a == "PLACEHOLDER")
                a = Path("bad.RV8Proj");
        args += QString(row.name) == "no starter" ? silent : starter.Connection();
        const Outcome c = Rv8(args);
        EXPECT_EQ(c.status, row.status) << c.err.toStdString();
        if (*row.out)
            EXPECT_TRUE(c.out.contains(row.out)) << c.out.toStdString();
        else
            EXPECT_TRUE(c.out.isEmpty()) << c.out.toStdString();
        EXPECT_TRUE(c.err.contains(row.err)) << c.err.toStdString();
    }
}

TEST_F(Commission, WriteRefusesFileErrorsAndUnansweredQuestionsBeforeWriting)
{
    Starter starter;
    QByteArray bytes = ReadBytes(kHandWritten);
    bytes.replace("F029=400;", "F029=400 ");  // no ";" within the examined part: line 40 in error
    QFile f(Path("bad.RV8Proj"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    Outcome w = Rv8(QStringList{"write", "--yes", Path("bad.RV8Proj")} + starter.Connection());
    EXPECT_EQ(w.status, 2);
    EXPECT_TRUE(w.err.contains("rv8 write: Error in line: 40.")) << w.err.toStdString();
    EXPECT_EQ(starter.Requests(), 0);  // the file is checked before the starter is reached

    w = Rv8(QStringList{"write", "/nonexistent/x.RV8Proj", "--yes"} + starter.Connection());
    EXPECT_EQ(w.status, 2);
    EXPECT_TRUE(w.err.contains("Unable to open file for read access.")) << w.err.toStdString();

    // Without --yes and without a terminal the first question is refused: nothing is written.
    w = Rv8(QStringList{"write", kHandWritten} + starter.Connection());
    EXPECT_EQ(w.status, 2);
    EXPECT_TRUE(w.err.contains("Overwrite RV8 settings?")) << w.err.toStdString();
    EXPECT_TRUE(w.err.contains("there is no terminal")) << w.err.toStdString();
    EXPECT_EQ(starter.Writes(), 0);
}

TEST_F(Commission, ReadLeavesNothingBehindWhenItFails)
{
    Starter starter;
    // A folder that does not exist: the save's own message, status 2, no file.
    Outcome r = Rv8(QStringList{"read", "--out", Path("missing/x.RV8Proj")} + starter.Connection());
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Unable to open file for write access.")) << r.err.toStdString();

    // A previous file stays as it was when the starter does not answer.
    const QString keep = Path("keep.RV8Proj");
    QFile::copy(kHandWritten, keep);
    r = Rv8({"read", "--out", keep, "--tcp", "127.0.0.1:1", "--delay-ms", "0", "--timeout-ms", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadBytes(keep), ReadBytes(kHandWritten));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.RV8Proj"});

    r = Rv8(QStringList{"read"} + starter.Connection());
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--out")) << r.err.toStdString();
}

TEST_F(Commission, BackupSavesTheStarterAndAsksBeforeReplacing)
{
    Starter starter(150, 130);  // another firmware than the command line starts with
    starter.SetParameter(1001, 130);
    Outcome b = Rv8(QStringList{"backup", "--out", Path("BACKUP")} + starter.Connection());
    ASSERT_EQ(b.status, 0) << b.err.toStdString();
    const QString file = Path("BACKUP.RV8TOOLB");
    EXPECT_EQ(b.out.trimmed(), file);
    const QByteArray first = ReadBytes(file);
    EXPECT_TRUE(first.contains("\r\nRV8-150\r\n\r\n[FLASH NO.]\r\n\r\n130\r\n")) << first.toStdString();
    EXPECT_TRUE(first.contains("\r\nF001=130;")) << first.toStdString();

    starter.SetParameter(1001, 120);
    b = Rv8(QStringList{"backup", "--out", file} + starter.Connection());
    EXPECT_EQ(b.status, 2);  // "File Already Exists!, Overwrite" cannot be asked
    EXPECT_TRUE(b.err.contains("File Already Exists!, Overwrite")) << b.err.toStdString();
    EXPECT_EQ(ReadBytes(file), first);

    b = Rv8(QStringList{"backup", "--out", file, "--yes"} + starter.Connection());
    EXPECT_EQ(b.status, 0) << b.err.toStdString();
    EXPECT_TRUE(ReadBytes(file).contains("\r\nF001=120;"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"BACKUP.RV8TOOLB"});
}
