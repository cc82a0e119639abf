// "Communication Setup" and "Error Detected" driven as the user drives them: typing, leaving
// fields, choosing list entries and pressing the buttons, with the simulated starter on loopback
// and the settings in a scratch INI file.
#include "app/ErrForm.h"
#include "app/HelpTopics.h"
#include "app/SerialSetupForm.h"
#include "files/RegValues.h"
#include "param/Catalogue.h"
#include "tests/comm/SimThread.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace rv8;
using app::TErrForm;
using app::TSerialSetupForm;
using comm::ScriptedErrorDecider;
using comm::ScriptedPrompts;
using comm::TSerialSetup;
namespace reg = rv8::files::reg;

namespace {

class SetupFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("settings.ini"));
        location = files::SettingsLocation::File(path);
        session = std::make_unique<TSerialSetup>(prompts, decider, shell, location);
        session->SetReopenDelay(1);
        form = std::make_unique<TSerialSetupForm>(*session, prompts);
    }
    void TearDown() override
    {
        form.reset();
        session.reset();
    }

    void Show()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Types into a field and leaves it with Tab.
    void TypeAndLeave(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    // Types into a field and stays there.
    void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    QString Stored(const char* name)
    {
        return QSettings(path, QSettings::IniFormat)
            .value(QStringLiteral("COM/SETTINGS/SETUP/") + QLatin1String(name))
            .toString();
    }

    // Stored Ethernet settings aimed at a loopback port, with short delays.
    void StoreEthernet(quint16 port)
    {
        files::TReg r({}, location);
        r.Write(reg::com::Medium(), 1);
        r.Write(reg::com::TcpHost(), QStringLiteral("127.0.0.1"));
        r.Write(reg::com::TcpPort(), port);
        r.Write(reg::com::TcpRequestDelay(), 10);
        r.Write(reg::com::TcpResponseTimeout(), 10);
    }

    QTemporaryDir dir;
    QString path;
    files::SettingsLocation location = files::SettingsLocation::User();
    ScriptedPrompts prompts;
    ScriptedErrorDecider decider;
    comm::ShellState shell;
    std::unique_ptr<TSerialSetup> session;
    std::unique_ptr<TSerialSetupForm> form;
};

TEST_F(SetupFormTest, ShowsTheStoredSettingsAndHoldsBusyCountWhileShown)
{
    Show();
    EXPECT_EQ(form->windowTitle(), "Communication Setup");
    EXPECT_EQ(shell.BusyCount.load(), 1);
    EXPECT_EQ(form->Tabs()->tabText(0), "Serial");
    EXPECT_EQ(form->Tabs()->tabText(1), "Ethernet");
    EXPECT_EQ(form->PortCombo()->currentText(), "Com1");
    EXPECT_EQ(form->PortCombo()->count(), 16);
    EXPECT_EQ(form->BaudCombo()->currentText(), "9600");
    EXPECT_EQ(form->StopBitsCombo()->currentText(), "1 Stop Bit");
    EXPECT_EQ(form->ParityCombo()->currentText(), "No Parity");
    EXPECT_EQ(form->TransmissionDelayEdit()->text(), "10");
    EXPECT_EQ(form->ResponseDelayEdit()->text(), "50");
    EXPECT_EQ(form->AddressEdit()->text(), "1");
    EXPECT_EQ(form->IpAddressEdit()->text(), reg::com::kDefaultTcpHost);
    EXPECT_EQ(form->PercentLabel()->text(), "0%");

    QStringList visible;
    for (const auto* group : {&form->SerialTypeButtons(), &form->EthernetTypeButtons()})
        for (QRadioButton* b : *group)
            if (!b->isHidden())
                visible << b->text() + (b->isChecked() ? "*" : "");
    EXPECT_EQ(visible, (QStringList{"Direct Link (RS485 Single RV8)*", "Multi-Drop (RS485 Network)",
                                    "Direct IP (Ethernet Single RV8)*", "Multi-Drop (Ethernet Network)"}));

    form->CancelButton()->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(shell.BusyCount.load(), 0);
}

TEST_F(SetupFormTest, LeavingAFieldAppliesItsRule)
{
    Show();
    struct Row {
        const char* name;
        QLineEdit* edit;
        int tab;
        const char* typed;
        const char* left;
    };
    const Row rows[] = {
        {"ip clamped and completed", form->IpAddressEdit(), 1, "300.1.2", "255.1.2.0"},
        {"ip empty takes the default", form->IpAddressEdit(), 1, "", reg::com::kDefaultTcpHost},
        {"address above the range", form->AddressEdit(), 0, "255", "254"},
        {"address empty takes the default", form->AddressEdit(), 0, "", "1"},
        {"delay below the range", form->TransmissionDelayEdit(), 0, "5", "10"},
        {"letters are not taken", form->ResponseDelayEdit(), 0, "2x0", "20"},
        {"port above the range", form->TcpPortEdit(), 1, "99999", "65535"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        form->Tabs()->setCurrentIndex(row.tab);
        TypeAndLeave(row.edit, row.typed);
        EXPECT_EQ(row.edit->text(), row.left);
    }
}

TEST_F(SetupFormTest, StopBitsAndParityExcludeEachOther)
{
    Show();
    QComboBox* parity = form->ParityCombo();
    QComboBox* stops = form->StopBitsCombo();
    parity->setFocus();
    QTest::keyClick(parity, Qt::Key_Down);
    QTest::keyClick(parity, Qt::Key_Down);
    ASSERT_EQ(parity->currentText(), "Even Parity");

    stops->setFocus();
    QTest::keyClick(stops, Qt::Key_Down);
    EXPECT_EQ(stops->currentText(), "2 Stop Bits");
    EXPECT_EQ(parity->currentText(), "No Parity");

    parity->setFocus();
    QTest::keyClick(parity, Qt::Key_Down);
    EXPECT_EQ(parity->currentText(), "Odd Parity");
    EXPECT_EQ(stops->currentText(), "1 Stop Bit");
}

TEST_F(SetupFormTest, InvalidAddressOnAcceptWarnsRestoresSavesClosesAndLeavesTheChannel)
{
    test::SimThread sim({});
    ASSERT_TRUE(sim.Ok()) << sim.Error().toStdString();
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    ASSERT_NE(port, 0);

    for (const char* typed : {"255", ""}) {
        SCOPED_TRACE(typed);
        StoreEthernet(port);
        session->Load_Baud();
        ASSERT_TRUE(session->open_communications());
        int changes = 0;
        auto connection =
            QObject::connect(session.get(), &TSerialSetup::onlineChanged, [&](bool) { ++changes; });
        prompts.clearAsked();

        Show();
        TypeAndLeave(form->TcpTransmissionDelayEdit(), QStringLiteral("12"));
        form->Tabs()->setCurrentIndex(0);
        Type(form->AddressEdit(), QString::fromLatin1(typed));
        form->AcceptButton()->click();  // the accelerator: the field is not left

        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_EQ(prompts.asked()[0].prompt.kind, comm::PromptKind::Warning);
        EXPECT_EQ(prompts.asked()[0].prompt.text, "Address ranges from 1 - MAX_INVERTER_NETWORK");
        EXPECT_EQ(form->AddressEdit()->text(), "1");
        EXPECT_EQ(Stored("ADDRESS"), "1");
        EXPECT_EQ(Stored("ModbusTcp_RequestDelay2A"), "12");
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(changes, 0);
        EXPECT_TRUE(shell.IsOnline);
        EXPECT_TRUE(session->IsConnected());
        // Still the channel of before: its delay was not taken from the edited field.
        EXPECT_EQ(session->Modbus().Settings().Delay.BetweenCommands, 100);
        QObject::disconnect(connection);
        session->Close_Communications();
    }
}

TEST_F(SetupFormTest, AcceptWithAValidAddressOpensAndStores)
{
    test::SimThread sim({});
    ASSERT_TRUE(sim.Ok());
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    StoreEthernet(port);
    Show();
    TypeAndLeave(form->AddressEdit(), QStringLiteral("7"));
    form->AcceptButton()->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(shell.IsOnline);
    EXPECT_EQ(shell.NodeAddress, 7);
    EXPECT_EQ(Stored("ADDRESS"), "7");
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(SetupFormTest, CancelAfterChangingThePortWhileOnlineReconnectsWithTheStoredPort)
{
    test::SimThread sim({});
    ASSERT_TRUE(sim.Ok());
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    ASSERT_NE(port, 0);
    StoreEthernet(port);
    session->Load_Baud();
    ASSERT_TRUE(session->open_communications());

    Show();
    ASSERT_EQ(form->Tabs()->currentIndex(), 1);
    TypeAndLeave(form->TcpPortEdit(), QString::number(port == 65535 ? port - 1 : port + 1));
    form->CancelButton()->click();

    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(shell.IsOnline);
    EXPECT_TRUE(session->IsConnected());
    EXPECT_EQ(session->Modbus().Settings().TcpPort, port);
    EXPECT_EQ(form->TcpPortEdit()->text(), QString::number(port));
    EXPECT_EQ(Stored("ModbusTcp_Port"), QString::number(port));
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(SetupFormTest, CancelWhileOfflineClosesAChannelTheTestOpened)
{
    ASSERT_EQ(param::BuildCatalogue(true), "");
    test::SimThread sim({});
    ASSERT_TRUE(sim.Ok());
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    StoreEthernet(port);
    Show();
    form->TestButton()->click();
    EXPECT_EQ(form->LedBar()->value(), 100);
    EXPECT_EQ(form->PercentLabel()->text(), "100 %");
    EXPECT_TRUE(form->AcceptButton()->isEnabled());
    EXPECT_TRUE(form->Tabs()->widget(1)->isEnabled());
    EXPECT_TRUE(shell.IsOnline);

    form->CancelButton()->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(shell.IsOnline);
    EXPECT_FALSE(session->IsConnected());
}

TEST_F(SetupFormTest, HelpWithoutAPageSaysTheTopicIsNotAvailable)
{
    app::SetHelpDirectory(dir.filePath(QStringLiteral("help")));
    Show();
    form->HelpButton()->click();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].prompt.text.contains("Establish_Communication"));
    EXPECT_EQ(app::HelpTopicFile(QStringLiteral("../settings")), "");
    app::SetHelpDirectory({});
}

// ---- Error Detected ----------------------------------------------------------------------------

TEST(ErrForm, ButtonsDecide)
{
    TErrForm dialog;
    EXPECT_EQ(dialog.windowTitle(), "Error Detected");
    EXPECT_EQ(dialog.Banner()->text(), "Communication Error");
    EXPECT_EQ(dialog.RetryButton()->toolTip(), "Send command again");
    EXPECT_EQ(dialog.IgnoreButton()->toolTip(), "Ignore error and continue");
    EXPECT_EQ(dialog.AbortButton()->toolTip(), "Abort transmission");

    struct Row {
        const char* name;
        bool allowIgnore;
        std::function<void(TErrForm&)> press;
        comm::TNuvModbus_ErrorEventAction expected;
    };
    const Row rows[] = {
        {"retry", true, [](TErrForm& d) { d.RetryButton()->click(); }, comm::meaRetry},
        {"ignore", true, [](TErrForm& d) { d.IgnoreButton()->click(); }, comm::meaIgnore},
        {"abort", true, [](TErrForm& d) { d.AbortButton()->click(); }, comm::meaAbort},
        {"escape", true, [](TErrForm& d) { QTest::keyClick(&d, Qt::Key_Escape); }, comm::meaAbort},
        {"closing the window", false, [](TErrForm& d) { d.close(); }, comm::meaAbort},
        {"retry without ignore", false, [](TErrForm& d) { d.RetryButton()->click(); }, comm::meaRetry},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        bool ignoreEnabled = true;
        QString shown;
        QTimer::singleShot(0, &dialog, [&] {
            ignoreEnabled = dialog.IgnoreButton()->isEnabled();
            shown = dialog.Message()->text();
            row.press(dialog);
        });
        EXPECT_EQ(dialog.Decide(QStringLiteral("RV8 busy."), row.allowIgnore), row.expected);
        EXPECT_EQ(ignoreEnabled, row.allowIgnore);
        EXPECT_EQ(shown, "RV8 busy.");
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(ErrForm, IsTheSessionsDecision)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TErrForm dialog;
    comm::ShellState shell;
    TSerialSetup session(prompts, dialog, shell, files::SettingsLocation::File(dir.filePath("s.ini")));
    // The channel is closed: the request fails in its send step and the dialog asks.
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.Message()->text();
        dialog.AbortButton()->click();
    });
    uint16_t value = 0;
    EXPECT_FALSE(session.ReadHoldingRegister(1, 1001, value));
    EXPECT_EQ(shown, "Unable to send request.");
}

}  // namespace
