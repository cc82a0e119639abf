// Recovery backups against the simulated starter (its own thread, Modbus TCP on loopback): the
// backup save with its firmware check, name rule, overwrite question and dialog, and the backup
// load that offers to write the backup back to the starter.
#include "tests/comm/SimThread.h"

#include "comm/ErrorDecider.h"
#include "comm/NetScan.h"
#include "comm/Serial.h"
#include "comm/Transfer.h"
#include "files/Backup.h"
#include "param/Catalogue.h"
#include "param/Models.h"
#include "sim/SimClock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rv8;
using comm::PromptAnswer;

namespace {

constexpr uint16_t kMotorFla = 1001;
constexpr uint16_t kRampSelect = 1010;

int Number(const char* parameterId)
{
    for (int n = 1; n <= param::PRM_TABLE.Count(); ++n)
        if (param::PRM_TABLE[n].PARAMETER_ID == parameterId)
            return n;
    return 0;
}

param::Fixed Working(const char* parameterId) { return param::GetPrmValue(param::PRM_TABLE, Number(parameterId), param::vcMode1); }

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The program's tables and selection for model 150 / firmware 401, a session to a simulated
// RV8-150 (firmware 401 unless told) and the backup's access to it.
class BackupBench : public ::testing::Test {
protected:
    void SetUp() override { Start(401); }
    void TearDown() override
    {
        scan.reset();
        transfer.reset();
        if (session)
            session->Close_Communications();
        session.reset();
        sim.reset();
    }

    void Start(int starterFirmware)
    {
        param::SELECTION = {};
        param::SELECTION.CurrentModelCode = 150;
        param::SELECTION.CurrentFlashIndex = param::FlashIndexOfNumber(401);
        param::SELECTION.CurrentFirmwareVersion = 401;
        ASSERT_EQ(param::BuildCatalogue(true), "");
        param::MODIFIED_FLAGS = {};

        sim::SimulatedStarter::Config config;
        config.firmware = starterFirmware;
        config.clock = std::make_shared<sim::ManualClock>(0);
        config.nodeOptions.motorCycling = false;
        sim = std::make_unique<test::SimThread>(config);
        ASSERT_TRUE(sim->Ok()) << sim->Error().toStdString();
        const quint16 port = sim->ListenTcp(sim::Medium::ModbusTcp);
        ASSERT_NE(port, 0);

        session = std::make_unique<comm::TSerialSetup>(prompts, decider, shell,
                                                       files::SettingsLocation::File(dir.filePath("settings.ini")));
        session->SetProgramOptions(&options);
        comm::TSerialSetupValues& v = session->Values();
        v.Medium = comm::smEthernet;
        v.TcpHost = QStringLiteral("127.0.0.1");
        v.TcpPort = QString::number(port);
        v.TcpTransmissionDelay = QStringLiteral("0");
        v.TcpResponseDelay = QStringLiteral("20");
        ASSERT_TRUE(session->open_communications());

        comm::DeviceContext context;
        context.Session = session.get();
        context.Prompts = &prompts;
        context.Options = &options;
        transfer = std::make_unique<comm::TParameterTransfer>(context);
        transfer->SetFinalWait(0);
        scan = std::make_unique<comm::TNetScan>(*transfer);
        selectionDialog = {};
        selectionDialog.FormShow(param::SELECTION, false);
        access.Scan = scan.get();
        access.SelectionDialog = &selectionDialog;
        access.Info = &info;
        access.ShowSelectionDialog = [this] {
            ++selectionShown;
            return false;
        };
    }

    void SetParameter(uint16_t address, uint16_t value)
    {
        sim->Run([&](sim::SimulatedStarter& s) { s.Node(1)->SetParameter(address, value); });
    }
    uint16_t Register(uint16_t address)
    {
        return sim->Get<uint16_t>([&](sim::SimulatedStarter& s) { return s.Node(1)->Register(address).value_or(0); });
    }
    int Writes()
    {
        int n = 0;
        for (const auto& e : sim->Log())
            n += e.function == 16 ? 1 : 0;
        return n;
    }
    bool Asked(const QString& text) const
    {
        for (const auto& r : prompts.asked())
            if (r.prompt.text == text)
                return true;
        return false;
    }

    QTemporaryDir dir;
    comm::ScriptedPrompts prompts{comm::ScriptedPrompts::Policy::Affirm};
    comm::ScriptedErrorDecider decider{comm::meaAbort};
    comm::ShellState shell;
    comm::ProgramOptions options;
    files::ProjectInformation info;
    std::unique_ptr<test::SimThread> sim;
    std::unique_ptr<comm::TSerialSetup> session;
    std::unique_ptr<comm::TParameterTransfer> transfer;
    std::unique_ptr<comm::TNetScan> scan;
    param::TCtrlSel selectionDialog;
    files::StarterAccess access;
    files::FixedFileDialogs dialogs;
    int selectionShown = 0;
};

}  // namespace

TEST(BackupName, ExtensionIsAppendedUnlessPresent)
{
    const struct {
        const char* chosen;
        const char* written;
    } rows[] = {
        {"/d/BACKUP", "/d/BACKUP.RV8TOOLB"},
        {"/d/plant.txt", "/d/plant.txt.RV8TOOLB"},
        {"/d/plant.RV8TOOLB", "/d/plant.RV8TOOLB"},
        {"/d/plant.rv8toolb", "/d/plant.rv8toolb"},
        {"/d/plant.RV8Proj", "/d/plant.RV8Proj.RV8TOOLB"},
        {"/d/RV8TOOLB", "/d/RV8TOOLB.RV8TOOLB"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(files::BackupFileName(QString::fromUtf8(r.chosen)), QString::fromUtf8(r.written)) << r.chosen;
}

TEST(BackupName, DialogFiltersInQtForm)
{
    EXPECT_EQ((files::FileDialogRequest{{}, QString::fromLatin1(files::kBackupSaveFilter), {}}.QtFilter()),
              "RV8 TOOL Project Files (*.RV8TOOLB)");
    EXPECT_EQ((files::FileDialogRequest{{}, "A (*.a)|*.a|B (*.b;*.c)|*.b;*.c|", {}}.QtFilter()),
              "A (*.a);;B (*.b;*.c)");
}

// The backup holds the starter's values, not the working values edited before, under the
// proposed name in the chosen folder.
TEST_F(BackupBench, SaveWritesTheStarterValuesUnderTheChosenName)
{
    SetParameter(kMotorFla, 140);
    SetParameter(kRampSelect, 4);
    param::SetPrmValue(param::PRM_TABLE, Number("F001"), param::vcMode1, true, param::Fixed::FromInt(99));
    prompts.then(PromptAnswer::No);  // no project information
    dialogs.then(dir.filePath("BACKUP"));

    const files::BackupSaveResult saved = files::SaveDriveBackup(access, dialogs);
    ASSERT_TRUE(saved.ok) << saved.message.toStdString();
    EXPECT_EQ(saved.fileName, dir.filePath("BACKUP.RV8TOOLB"));
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].title, "Save RV8 TOOL Project Files");
    EXPECT_EQ(dialogs.requests()[0].filter, "RV8 TOOL Project Files (*.RV8TOOLB)|*.RV8TOOLB|");
    EXPECT_EQ(dialogs.requests()[0].proposedName, "BACKUP");
    EXPECT_FALSE(Asked(files::kFileExistsOverwrite));

    const QByteArray bytes = ReadBytes(saved.fileName);
    EXPECT_TRUE(bytes.contains("\r\nF001=140;")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("\r\nF010=4;")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains("[PROJECT NAME]"));
    EXPECT_EQ(Working("F001"), param::Fixed::FromInt(140));  // the received values are the working ones
    EXPECT_EQ(Writes(), 0);
}

// Every way the save stops without a file: firmware mismatch, a cancelled dialog, a declined
// overwrite (the old file stays byte for byte), an unreachable starter.
TEST_F(BackupBench, SaveStopsWithoutWriting)
{
    const QString existing = dir.filePath("plant.RV8TOOLB");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old backup\r\n");
    }

    // A declined overwrite.
    prompts.then(PromptAnswer::Cancel);
    dialogs.then(dir.filePath("plant"));
    files::BackupSaveResult r = files::SaveDriveBackup(access, dialogs);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_TRUE(Asked(files::kFileExistsOverwrite));
    EXPECT_EQ(ReadBytes(existing), "old backup\r\n");

    // A cancelled dialog.
    r = files::SaveDriveBackup(access, dialogs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(dialogs.requests().size(), 2u);

    // An accepted overwrite replaces the file.
    prompts.then(PromptAnswer::Ok).then(PromptAnswer::No);
    dialogs.then(existing);
    r = files::SaveDriveBackup(access, dialogs);
    EXPECT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_TRUE(ReadBytes(existing).startsWith("[FILE INFO]\r\n"));

    // The starter does not answer: the identification stops the backup before any dialog.
    session->Close_Communications();
    dialogs.then(dir.filePath("never"));
    r = files::SaveDriveBackup(access, dialogs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(dialogs.requests().size(), 3u);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.RV8TOOLB"}, QDir::Files), QStringList{"plant.RV8TOOLB"});
}

TEST_F(BackupBench, FirmwareMismatchWarnsAndShowsTheSelection)
{
    TearDown();
    Start(400);
    dialogs.then(dir.filePath("BACKUP"));
    const files::BackupSaveResult r = files::SaveDriveBackup(access, dialogs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, files::kBackupFirmwareMismatch);
    EXPECT_TRUE(Asked(files::kBackupFirmwareMismatch));
    EXPECT_EQ(selectionShown, 1);
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_EQ(sim->Get<int>([](sim::SimulatedStarter& s) {
        int reads = 0;
        for (const auto& e : s.RequestLog())
            reads += e.function == 3 && e.address == 1001 ? 1 : 0;
        return reads;
    }),
              0);  // no parameter was read
}

// The take-over of the scan data rebuilds the catalogue when the "Selection" window's lists moved
// since it was last shown; the rebuild resets every value column, the received ones included.
// The backup reads again, so it still holds the starter's values.
TEST_F(BackupBench, SaveKeepsTheStarterValuesWhenTheTakeOverRebuilds)
{
    SetParameter(kMotorFla, 140);
    selectionDialog.ShownModelPosition = param::ModelListPositionOfCode(150) + 1;  // the list moved
    prompts.then(PromptAnswer::No);
    dialogs.then(dir.filePath("BACKUP"));
    const files::BackupSaveResult saved = files::SaveDriveBackup(access, dialogs);
    ASSERT_TRUE(saved.ok);
    EXPECT_TRUE(ReadBytes(saved.fileName).contains("\r\nF001=140;"));
}

TEST_F(BackupBench, LoadOpensTheBackupAndWritesItToTheStarter)
{
    SetParameter(kMotorFla, 140);
    SetParameter(kRampSelect, 4);
    prompts.then(PromptAnswer::No);
    dialogs.then(dir.filePath("BACKUP"));
    const files::BackupSaveResult saved = files::SaveDriveBackup(access, dialogs);
    ASSERT_TRUE(saved.ok);

    // The starter changes afterwards; the program had a project open with unsaved edits.
    SetParameter(kMotorFla, 100);
    SetParameter(kRampSelect, 1);
    shell.CurrentProjectFile = dir.filePath("plant.RV8Proj");
    param::MODIFIED_FLAGS.ProjectModified = true;
    int afterOpen = 0;
    files::LoadBackupHooks hooks;
    hooks.afterOpen = [&] { ++afterOpen; };
    prompts.clearAsked();
    prompts.then(PromptAnswer::Yes);  // download the backup; the write's own questions: Yes
    dialogs.then(saved.fileName);

    const files::BackupLoadResult loaded = files::LoadBackup(access, dialogs, hooks);
    ASSERT_TRUE(loaded.ok) << loaded.message.toStdString();
    EXPECT_EQ(dialogs.requests().back().title, "Open RV8 Backup File");
    EXPECT_EQ(dialogs.requests().back().filter, "RV8 Recovery Backup Files (*.RV8TOOLB)|*.RV8TOOLB|");
    EXPECT_EQ(loaded.caption, "RV8 Software: BACKUP.RV8TOOLB");
    EXPECT_TRUE(shell.CurrentProjectFile.isEmpty());  // Save asks for a name
    EXPECT_TRUE(param::MODIFIED_FLAGS.ProjectModified);
    EXPECT_EQ(afterOpen, 1);
    EXPECT_TRUE(Asked(files::kDownloadBackupQuestion));
    EXPECT_TRUE(Asked(files::device_text::kOverwriteSettings));
    EXPECT_TRUE(loaded.written);
    EXPECT_EQ(Register(kMotorFla), 140);
    EXPECT_EQ(Register(kRampSelect), 4);
}

TEST_F(BackupBench, LoadWritesNothingWhenDeclinedOrOffline)
{
    prompts.then(PromptAnswer::No);
    dialogs.then(dir.filePath("BACKUP"));
    const files::BackupSaveResult saved = files::SaveDriveBackup(access, dialogs);
    ASSERT_TRUE(saved.ok);
    sim->ClearLog();

    // "No" to the download question.
    prompts.then(PromptAnswer::No);
    dialogs.then(saved.fileName);
    files::BackupLoadResult loaded = files::LoadBackup(access, dialogs);
    EXPECT_TRUE(loaded.ok);
    EXPECT_FALSE(loaded.written);

    // Offline: the set-up is offered; still offline, nothing is written.
    session->Close_Communications();
    int setupShown = 0;
    files::LoadBackupHooks hooks;
    hooks.openCommunicationSetup = [&] { ++setupShown; };
    prompts.then(PromptAnswer::Yes);
    dialogs.then(saved.fileName);
    loaded = files::LoadBackup(access, dialogs, hooks);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(setupShown, 1);
    EXPECT_FALSE(loaded.written);

    // A cancelled open dialog does nothing at all.
    loaded = files::LoadBackup(access, dialogs, hooks);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(Writes(), 0);
}
