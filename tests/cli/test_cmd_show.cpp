// rv8 show as a user runs it: the table of a project file, and the program's messages with the
// line they name and exit status 2 for files in error.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ShowRun {
    int status = -1;
    QString out;
    QString err;
};

ShowRun Show(const QStringList& args)
{
    QProcess p;
    p.start(RV8_CLI, QStringList{QStringLiteral("show")} + args);
    ShowRun r;
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

// The row of a parameter, blanks collapsed.
QString Row(const QString& out, const QString& fno)
{
    for (const QString& line : out.split('\n'))
        if (line.startsWith(fno + ' '))
            return line.simplified();
    return {};
}

TEST(CmdShow, PrintsTheFileAsATable)
{
    const ShowRun r = Show({QStringLiteral(RV8_SOURCE_DIR "/tests/files/data/RV8-150_401.RV8Proj")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Series:       RV8-150\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Firmware:     4.01 (401)\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("User:         Jürgen Müller\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Größe: 150 A, Kick Time 1.5 s")));
    EXPECT_EQ(Row(r.out, "F-No."), QStringLiteral("F-No. Title Value Default"));
    // RV8-150 with service factor 1.15: the FLA default follows the range (Round(75 / 1.15) = 65).
    EXPECT_EQ(Row(r.out, "F001"), QStringLiteral("F001 Motor FLA 120 A. 65 A."));
    EXPECT_EQ(Row(r.out, "F010"), QStringLiteral("F010 Ramp Select CR1-CR2 VR1-VR2"));
    EXPECT_EQ(Row(r.out, "F022"), QStringLiteral("F022 Kick Voltage Off Off"));
    EXPECT_EQ(Row(r.out, "F023"), QStringLiteral("F023 Kick Time 1.5 Sec. 0.8 Sec."));
    EXPECT_TRUE(Row(r.out, "F072").isEmpty()) << "read-only parameters are not in project files";
}

TEST(CmdShow, FileErrorsPrintTheMessageAndExitWithStatus2)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString bad = write("bad.RV8Proj", "[STARTER TYPE]\r\nRV8-150\r\n[FLASH NO.]\r\n401\r\n[PARAMETERS RV8 TOOL]\r\n"
                                             "F001=100;\r\nF023: 0.8;\r\nF029=700;\r\n");
    const QString order = write("order.RV8Proj", "[STARTER TYPE]\r\nRV8-150\r\n[PARAMETERS RV8 TOOL]\r\nF001=100;\r\n");
    const QString firmware = write("fw.RV8Proj", "[STARTER TYPE]\r\nRV8-150\r\n[FLASH NO.]\r\n136\r\n");

    struct Case {
        QStringList args;
        int status;
        QString err;
    };
    const Case cases[] = {
        {{bad}, 2, QStringLiteral("rv8 show: %1:7: Error in line: 7.\n").arg(bad)},
        {{order}, 2,
         QStringLiteral("rv8 show: %1:3: Firmware Version information must be set before parameter section. "
                        "File read aborted.\n")
             .arg(order)},
        {{firmware}, 2, QStringLiteral("rv8 show: %1: Firmware Version not supported by program.\n").arg(firmware)},
        {{dir.filePath("missing.RV8Proj")}, 2,
         QStringLiteral("rv8 show: %1: Unable to open file for read access.\n").arg(dir.filePath("missing.RV8Proj"))},
        {{QStringLiteral("--skip-errors"), bad}, 0,
         QStringLiteral("rv8 show: %1: warning: Error in line: 7.\n"
                        "rv8 show: %1: warning: Parameter \"Voltage Input\" out of range. Parameter will be skipped.\n")
             .arg(bad)},
        {{}, 2, QStringLiteral("rv8 show: expected one FILE\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ShowRun r = Show(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out.isEmpty(), c.status != 0);
    }
}

}  // namespace
