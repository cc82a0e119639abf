// The main window driven against the simulated starter on its own thread: going online through
// the real "Communication Setup" window, identification, Read, Write, Compare, the project round
// trip, the heartbeat, the close questions and node picking in network mode. Questions are
// answered by ScriptedPrompts, file names by FixedFileDialogs.

#include "app/MainForm.h"
#include "app/SerialSetupForm.h"
#include "app/WelcomePage.h"
#include "comm/ErrorDecider.h"
#include "comm/SimThread.h"
#include "files/UserInfo.h"
#include "param/Catalogue.h"
#include "param/CtrlSel.h"
#include "param/NuvShared.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

using namespace rv8;
using comm::PromptAnswer;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start({1}, comm::kEthernetDirectTag); }

    void Start(std::vector<uint8_t> nodes, int tcpInterface)
    {
        ASSERT_TRUE(m_dir.isValid());
        param::ApplyNumberSettings(param::NUMBER_SETTINGS, ".", ",", ":");
        files::SettingsLocation::SetDefault(files::SettingsLocation::File(m_dir.filePath("settings.ini")));
        comm::SHELL.IsOnline = false;
        comm::SHELL.NodeAddress = 1;
        comm::SHELL.NetworkScanned = false;
        comm::SHELL.CurrentProjectFile.clear();
        param::SELECTION = {};
        param::CTRL_SEL = {};
        files::PROJECT_INFORMATION.Clear();
        ASSERT_EQ(param::BuildCatalogue(true), "");

        sim::SimulatedStarter::Config config;
        config.nodes = std::move(nodes);
        config.nodeOptions.motorCycling = false;
        m_sim = std::make_unique<test::SimThread>(config);
        ASSERT_TRUE(m_sim->Ok()) << m_sim->Error().toStdString();
        const quint16 port = m_sim->ListenTcp(sim::Medium::ModbusTcp);
        ASSERT_NE(port, 0);

        m_options.L12 = false;  // no scan results message
        m_options.L26 = false;  // no backup offer after identification
        m_session = std::make_unique<comm::TSerialSetup>(m_prompts, m_decider);
        m_session->SetProgramOptions(&m_options);
        m_session->SetReopenDelay(1);
        comm::TSerialSetupValues values = m_session->Values();
        values.Medium = comm::smEthernet;
        values.TcpInterface = tcpInterface;
        values.TcpHost = QStringLiteral("127.0.0.1");
        values.TcpPort = QString::number(port);
        m_session->SetValues(values);
        m_session->Save_Baud();

        app::MainServices services;
        services.Prompts = &m_prompts;
        services.Dialogs = &m_dialogs;
        services.Session = m_session.get();
        services.Options = &m_options;
        services.RecentDocumentsFile = m_dir.filePath("recent.ini");
        m_form = std::make_unique<app::TMainForm>(services);
        m_form->SetHeartbeatInterval(3600 * 1000);  // the tests run the heartbeat themselves
        m_form->SetCloseWait(0);
        m_form->Transfer().SetFinalWait(0);
        m_form->Windows().selection = [this] {
            ++m_selectionShown;
            return false;
        };
        m_form->Windows().projectInformation = [](bool) { return false; };
        // The program properties window read the stored options at creation.
        m_options.L12 = false;  // no scan results window
        m_options.L26 = false;  // no backup offer after identification
        m_form->FormShow();
    }

    void TearDown() override
    {
        if (m_form) {
            m_form->Windows() = {};
            if (m_session->IsConnected())
                m_session->Close_Communications();
        }
        m_form.reset();
        m_session.reset();
        m_sim.reset();
        files::SettingsLocation::SetDefault(files::SettingsLocation::User());
    }

    // Goes online through the real "Communication Setup" window: its Accept button is pressed as
    // soon as the window is shown; the connected question is answered "Yes".
    void GoOnline()
    {
        QTimer::singleShot(0, m_form.get(), [this] {
            QTest::mouseClick(m_form->SerialSetupForm()->AcceptButton(), Qt::LeftButton);
        });
        m_prompts.then(PromptAnswer::Yes);  // "Is your RV8 connected to this computer? ..."
        m_form->Action("Online")->trigger();
        ASSERT_TRUE(comm::SHELL.IsOnline);
    }

    bool Asked(const QString& text) const
    {
        for (const auto& record : m_prompts.asked())
            if (record.prompt.text == text)
                return true;
        return false;
    }
    QStringList AskedTexts() const
    {
        QStringList texts;
        for (const auto& record : m_prompts.asked())
            texts << record.prompt.text;
        return texts;
    }

    static int MotorFla() { return param::PRM_TABLE.DEPENDENCY_MAP[param::deiMotorFla]; }
    uint16_t SimRegister(uint8_t node, uint16_t address)
    {
        return m_sim->Get<uint16_t>([&](sim::SimulatedStarter& s) { return s.Node(node)->Register(address).value_or(0); });
    }

    QTemporaryDir m_dir;
    comm::ScriptedPrompts m_prompts{comm::ScriptedPrompts::Policy::Dismiss};
    comm::ScriptedErrorDecider m_decider;
    files::FixedFileDialogs m_dialogs;
    comm::ProgramOptions m_options;
    std::unique_ptr<test::SimThread> m_sim;
    std::unique_ptr<comm::TSerialSetup> m_session;
    std::unique_ptr<app::TMainForm> m_form;
    int m_selectionShown = 0;
};

TEST_F(MainWindowTest, StartsOfflineOnTheWelcomePageWithTheDefaultFirmware)
{
    EXPECT_EQ(m_form->windowTitle(), "RV8 Tool Software");
    EXPECT_EQ(m_form->CurrentPage(), app::TMainForm::pgWelcome);
    EXPECT_EQ(m_form->StatusPanel1()->text(), " OFFLINE, SINGLE");
    EXPECT_EQ(param::SELECTION.CurrentFirmwareVersion, 401);
    EXPECT_TRUE(m_form->StatusPanel3()->text().startsWith(" Firmware: "));
    EXPECT_FALSE(m_form->Action("Save")->isEnabled());
    EXPECT_FALSE(m_form->Action("Welcome")->isEnabled());
    EXPECT_TRUE(m_form->Action("Parameters")->isEnabled());
    // Captions built from the templates, with their hints and shortcuts.
    EXPECT_EQ(m_form->Action("Read")->text(), "&Read from RV8");
    EXPECT_EQ(m_form->Action("Read")->toolTip(), "Read all parameters from the RV8");
    EXPECT_EQ(m_form->Action("Read")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(m_form->Action("Write")->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(m_form->Action("Version")->text(), "RV8 Version");
    EXPECT_EQ(m_form->Action("Version")->toolTip(), "Select RV8 Firmware Version");
    EXPECT_EQ(m_form->Action("FactoryReset")->text(), "RV8 Factory reset");
    EXPECT_EQ(m_form->Action("StarterMemory")->text(), "Parameters (RV8 memory)");
    EXPECT_EQ(m_form->Action("SetTime")->text(), "RV8 set Time and Date");
    EXPECT_TRUE(m_form->RibbonTabVisible("HOME"));
    EXPECT_TRUE(m_form->RibbonTabVisible("STARTUP AND DIAGNOSTICS"));
    EXPECT_FALSE(m_form->RibbonTabVisible("WARRANTY"));
    EXPECT_FALSE(m_form->Action("Keypad")->isVisible());
    EXPECT_TRUE(m_form->NetworkToolBar()->isHidden());
}

TEST_F(MainWindowTest, OnlineIdentifyReadWriteAndCompare)
{
    GoOnline();
    EXPECT_TRUE(Asked(app::flow_text::kConnectedQuestion));
    EXPECT_EQ(m_form->StatusPanel1()->text(), " ONLINE, SINGLE");
    EXPECT_TRUE(m_form->Action("Online")->isChecked());
    EXPECT_EQ(param::CTRL_SEL.ScannedModelCode, 150);

    // Read (F5): the working values are the starter's.
    m_form->Action("Read")->trigger();
    const int fla = MotorFla();
    ASSERT_GT(fla, 0);
    const param::PRM_REC& flaRec = param::PRM_TABLE[fla];
    EXPECT_EQ(param::PrmValueToRegister(param::PRM_TABLE, fla, param::vcMode1), SimRegister(1, flaRec.PRMADDR));
    EXPECT_FALSE(comm::SHELL.ProjectModified());
    EXPECT_EQ(m_form->CurrentPage(), app::TMainForm::pgParameters);
    EXPECT_EQ(m_form->OverviewMode(), app::omProgramMemory);
    EXPECT_EQ(comm::SHELL.BusyCount, 0);

    // Change Motor FLA in the program and write (F6).
    const uint16_t before = SimRegister(1, flaRec.PRMADDR);
    const param::Fixed changed = param::GetPrmValue(fla, param::vcMode1) + param::Fixed::FromInt(1);
    ASSERT_LE(changed, param::GetPrmMaximum(param::PRM_TABLE, fla, param::vcMode1));
    param::SetPrmValue(param::PRM_TABLE, fla, param::vcMode1, true, changed);
    const uint16_t expected = param::PrmValueToRegister(param::PRM_TABLE, fla, param::vcMode1);
    ASSERT_NE(expected, before);
    m_prompts.then(PromptAnswer::Yes);  // "Overwrite RV8 settings?"
    m_form->Action("Write")->trigger();
    EXPECT_TRUE(Asked("Overwrite RV8 settings?")) << AskedTexts().join('|').toStdString();
    EXPECT_TRUE(m_decider.asked().empty());
    EXPECT_EQ(SimRegister(1, flaRec.PRMADDR), expected) << AskedTexts().join("|").toStdString();

    // Compare: no difference, comparison view.
    m_form->Action("Compare")->trigger();
    ASSERT_TRUE(m_form->Flows().LastCompare().ok);
    EXPECT_TRUE(m_form->Flows().LastCompare().differences.empty());
    EXPECT_EQ(m_form->OverviewMode(), app::omComparison);

    // A value changed on the starter shows up as exactly that difference; working values stay.
    const param::Fixed working = param::GetPrmValue(fla, param::vcMode1);
    m_sim->Run([&](sim::SimulatedStarter& s) { s.Node(1)->SetParameter(flaRec.PRMADDR, expected + 1); });
    m_form->Action("Compare")->trigger();
    const auto& differences = m_form->Flows().LastCompare().differences;
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].number, fla);
    EXPECT_EQ(param::GetPrmValue(fla, param::vcMode1), working);
    EXPECT_EQ(comm::SHELL.BusyCount, 0);
}

TEST_F(MainWindowTest, ReadWhileOfflineAndSetupCancelledSaysSo)
{
    QTimer::singleShot(0, m_form.get(), [this] {
        QTest::mouseClick(m_form->SerialSetupForm()->CancelButton(), Qt::LeftButton);
    });
    m_form->Action("Read")->trigger();
    EXPECT_FALSE(comm::SHELL.IsOnline);
    EXPECT_TRUE(Asked(app::flow_text::kReadOffline));
    EXPECT_TRUE(m_sim->Log().empty());
}

TEST_F(MainWindowTest, NewSaveOpenRoundTripRestoresValuesAndCaption)
{
    const int fla = MotorFla();
    const param::Fixed value = param::GetPrmMaximum(param::PRM_TABLE, fla, param::vcMode1);
    param::SetPrmValue(param::PRM_TABLE, fla, param::vcMode1, true, value);
    ASSERT_TRUE(comm::SHELL.ProjectModified());

    // Save As with another extension: warned, written as .RV8Proj.
    const QString chosen = m_dir.filePath("pump station.txt");
    const QString written = m_dir.filePath("pump station.RV8Proj");
    m_dialogs.then(chosen);
    ASSERT_TRUE(m_form->SaveProjectAs());
    EXPECT_TRUE(Asked(app::kExtensionMismatch));
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_FALSE(comm::SHELL.ProjectModified());
    EXPECT_EQ(m_form->windowTitle(), "RV8 Series Tool Software: pump station.RV8Proj");

    // New: nothing to save, values back to their defaults.
    m_prompts.clearAsked();
    ASSERT_TRUE(m_form->NewProject());
    EXPECT_FALSE(Asked(app::kSaveQuestion));
    EXPECT_NE(param::GetPrmValue(fla, param::vcMode1), value);
    EXPECT_EQ(m_form->windowTitle(), "RV8 Tool Software");
    EXPECT_TRUE(comm::SHELL.CurrentProjectFile.isEmpty());

    // Open brings back the values and the caption; the file is the first recent document.
    m_dialogs.then(written);
    ASSERT_TRUE(m_form->OpenProject());
    EXPECT_EQ(param::GetPrmValue(fla, param::vcMode1), value);
    EXPECT_EQ(m_form->windowTitle(), "RV8 Series Tool Software: pump station.RV8Proj");
    EXPECT_FALSE(comm::SHELL.ProjectModified());
    ASSERT_FALSE(m_form->Recent().Documents().empty());
    EXPECT_EQ(QDir::fromNativeSeparators(m_form->Recent().Documents().front().hint), QFileInfo(written).absoluteFilePath());

    // Saving again over the same name asks before replacing it.
    m_prompts.clearAsked();
    m_dialogs.then(written);
    EXPECT_FALSE(m_form->SaveProjectAs());  // "... already exists!" answered No
    EXPECT_TRUE(AskedTexts().join('|').contains(" already exists!\nDo you want to replace it?"));
}

TEST_F(MainWindowTest, OpenFileThatDoesNotExistSaysSo)
{
    EXPECT_FALSE(m_form->OpenFile(m_dir.filePath("missing.RV8Proj")));
    EXPECT_TRUE(Asked(app::kFileMissing));
}

TEST_F(MainWindowTest, HeartbeatTakesTheProgramOfflineWhenTheStarterStopsAnswering)
{
    GoOnline();
    m_form->Timer2Timer();
    EXPECT_TRUE(comm::SHELL.IsOnline);
    EXPECT_FALSE(m_form->Heartbeat()->isHidden());

    m_sim->Run([](sim::SimulatedStarter& s) { s.Close(); });
    m_form->Timer2Timer();
    EXPECT_FALSE(comm::SHELL.IsOnline);
    EXPECT_EQ(m_form->StatusPanel1()->text(), " OFFLINE, SINGLE");
    EXPECT_FALSE(m_form->Action("Online")->isChecked());
    EXPECT_TRUE(m_form->Heartbeat()->isHidden());
    EXPECT_EQ(comm::SHELL.BusyCount, 0);
}

TEST_F(MainWindowTest, HeartbeatStaysAwayWhileACommandIsBusy)
{
    GoOnline();
    m_sim->ClearLog();
    {
        comm::BusyBracket busy;
        m_form->Timer2Timer();
    }
    EXPECT_TRUE(m_sim->Log().empty());
    m_form->Timer2Timer();
    EXPECT_EQ(m_sim->Log().size(), 1u);
}

TEST_F(MainWindowTest, CloseAsksToSaveOnlyAModifiedProject)
{
    m_prompts.then(PromptAnswer::Cancel);  // "End Software?"
    EXPECT_FALSE(m_form->close());
    EXPECT_EQ(AskedTexts(), QStringList{app::kEndQuestion});

    m_prompts.clearAsked();
    m_prompts.then(PromptAnswer::Ok);
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(AskedTexts(), QStringList{app::kEndQuestion});
}

TEST_F(MainWindowTest, CloseWithAModifiedProjectAsksToSave)
{
    param::SetPrmValue(param::PRM_TABLE, MotorFla(), param::vcMode1, true,
                       param::GetPrmMaximum(param::PRM_TABLE, MotorFla(), param::vcMode1));
    m_prompts.then(PromptAnswer::Ok).then(PromptAnswer::No);
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(AskedTexts(), (QStringList{app::kEndQuestion, app::kSaveQuestion}));
}

TEST_F(MainWindowTest, WelcomeHotSpotsKeepTheirPlaceOnThePicture)
{
    const struct {
        int width, height, index, left, top;
    } rows[] = {
        {1000, 590, 0, 669, 177}, {1000, 590, 3, 669, 346}, {1200, 790, 1, 769, 333},
        {1001, 591, 2, 669, 286},  // half a pixel rounds to even
        {1003, 593, 2, 671, 288}, {800, 500, 0, 569, 132},
    };
    for (const auto& r : rows) {
        const QPoint p = app::TWelcomePage::HotSpotPosition(r.index, r.width, r.height);
        EXPECT_EQ(p, QPoint(r.left, r.top)) << r.width << "x" << r.height << " spot " << r.index;
    }
}

TEST(RecentDocuments, KeepsTenEntriesMovesExistingToTopAndSurvivesWriteRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        files << dir.filePath(QStringLiteral("p%1.RV8Proj").arg(i));
        QFile f(files.back());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    app::TRecentDocumentsController recent(dir.filePath("recent.ini"));
    for (const QString& f : files)
        recent.AddDocument(f);
    ASSERT_EQ(recent.Documents().size(), 10u);
    EXPECT_EQ(recent.Documents().front().caption, "p11.RV8Proj");
    recent.AddDocument(files[5]);
    EXPECT_EQ(recent.Documents().size(), 10u);
    EXPECT_EQ(recent.Documents().front().caption, "p5.RV8Proj");
    EXPECT_EQ(recent.Folders().size(), 1u);
    recent.AddDocument(dir.filePath("does-not-exist.RV8Proj"));
    EXPECT_EQ(recent.Documents().front().caption, "p5.RV8Proj");
    recent.Write();

    QFile::remove(files[11]);
    app::TRecentDocumentsController again(dir.filePath("recent.ini"));
    again.Read();
    ASSERT_EQ(again.Documents().size(), 9u);  // the removed file is left out
    EXPECT_EQ(again.Documents().front().caption, "p5.RV8Proj");
    EXPECT_EQ(again.Documents()[1].caption, "p10.RV8Proj");
}

class NetworkWindowTest : public MainWindowTest {
protected:
    void SetUp() override { Start({1, 2, 3}, comm::kEthernetMultiDropTag); }
};

TEST_F(NetworkWindowTest, ReadScansAndReadsThePickedNode)
{
    EXPECT_FALSE(m_form->NetworkToolBar()->isHidden());
    ASSERT_TRUE(m_session->open_communications());
    m_form->UpdateStatusPanels();
    EXPECT_EQ(m_form->StatusPanel1()->text(), " ONLINE, NETWORK");
    EXPECT_TRUE(m_form->Heartbeat()->isHidden());

    app::FlowHooks& hooks = m_form->Flows().Hooks();
    int scans = 0;
    hooks.scanNetwork = [&] {
        ++scans;
        m_form->Scan().ScanNetwork(3, nullptr, nullptr, m_form.get());
    };
    hooks.pickNode = [] { return std::optional<int>(2); };

    // Not scanned, question answered No: nothing goes to the network.
    m_sim->ClearLog();
    m_form->Action("Read")->trigger();
    EXPECT_TRUE(Asked(app::flow_text::kScanQuestion));
    EXPECT_EQ(scans, 0);
    EXPECT_TRUE(m_sim->Log().empty());

    // Yes: the scan runs, node 2 is picked and read.
    m_prompts.then(PromptAnswer::Yes);
    m_form->Action("Read")->trigger();
    EXPECT_EQ(scans, 1);
    EXPECT_TRUE(comm::SHELL.NetworkScanned);
    EXPECT_EQ(comm::SHELL.NodeAddress, 2);
    const int fla = MotorFla();
    const uint16_t address = param::PRM_TABLE[fla].PRMADDR;
    bool readNode2 = false;
    for (const sim::LogEntry& e : m_sim->Log()) {
        if (e.function == 3 && e.address <= address && address < e.address + e.count) {
            EXPECT_EQ(e.node, 2);
            readNode2 = readNode2 || e.node == 2;
        }
    }
    EXPECT_TRUE(readNode2);
    EXPECT_EQ(m_form->CurrentPage(), app::TMainForm::pgParameters);
    // The scan filled the network toolbar's tree.
    EXPECT_GE(m_form->NetworkCombo()->count(), 1 + 3 * 6);
}

}  // namespace
