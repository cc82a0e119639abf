#pragma once
// A simulated starter on loopback TCP (or a socat pseudo-terminal pair) and a communication
// session pointed at it, with the program-wide catalogue built for the simulator's model and
// firmware. Used by the transfer, scan and device-command tests.

#include "comm/ErrorDecider.h"
#include "comm/NetScan.h"
#include "comm/Serial.h"
#include "comm/Transfer.h"
#include "comm/UserPrompts.h"
#include "param/Catalogue.h"
#include "param/Models.h"
#include "sim/SimulatedStarter.h"
#include "../sim/SimTestSupport.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace rv8::comm::test {

struct DeviceSetup {
    int modelCode = 150;
    int firmware = 401;
    std::vector<uint8_t> nodes{1};
    bool serial = false;  // RTU on a socat pair instead of Modbus TCP
    // Response timeout field (units of 10 ms): short, so absent nodes cost little.
    QString responseDelay = QStringLiteral("5");
    std::shared_ptr<sim::Clock> clock = std::make_shared<sim::ManualClock>(0);
    bool motorCycling = false;
    // When set, the revision register reads this instead of the firmware number.
    std::optional<int> revision;
};

class DeviceFixture {
public:
    explicit DeviceFixture(const DeviceSetup& setup = {}) : m_setup(setup)
    {
        param::SELECTION = {};
        param::SELECTION.CurrentModelCode = setup.modelCode;
        param::SELECTION.CurrentFlashIndex = param::FlashIndexOfNumber(setup.firmware);
        param::SELECTION.CurrentFirmwareVersion = static_cast<uint16_t>(setup.firmware);
        const std::string defect = param::BuildCatalogue(true);
        EXPECT_EQ(defect, "");

        sim::SimulatedStarter::Config config;
        config.modelCode = setup.modelCode;
        config.firmware = setup.firmware;
        config.nodes = setup.nodes;
        config.clock = setup.clock;
        config.nodeOptions.motorCycling = setup.motorCycling;
        config.gapMs = 5;
        if (setup.revision) {
            config.layout = sim::CatalogueLayout(setup.modelCode, setup.firmware);
            if (config.layout)
                config.layout->firmwareNumber = static_cast<uint16_t>(*setup.revision);
        }
        if (setup.serial) {
            m_pair = std::make_unique<sim::test::SocatPair>();
            EXPECT_TRUE(m_pair->Ok());
        }
        // The client's wait for a TCP reply blocks its thread, so the starter runs in a thread
        // of its own (with its own event loop) and is reached through OnSim().
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        m_thread.start();
        QString error;
        quint16 port = 0;
        OnSim([&] {
            starter = sim::SimulatedStarter::Create(config, &error);
            if (!starter)
                return;
            if (setup.serial)
                starter->OpenSerial({.device = m_pair->First(), .baud = 38400}, &error);
            else if (starter->ListenTcp(sim::Medium::ModbusTcp, QHostAddress::LocalHost, 0, &error))
                port = starter->TcpPort();
        });
        EXPECT_TRUE(starter) << error.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();

        session = std::make_unique<TSerialSetup>(prompts, decider, shell,
                                                 files::SettingsLocation::File(m_dir.filePath("settings.ini")));
        session->SetProgramOptions(&options);
        session->SetReopenDelay(0);
        TSerialSetupValues& v = session->Values();
        if (setup.serial) {
            v.Medium = smSerial;
            v.SerialDevice = m_pair->Second();
            v.BaudRate = 3;  // 38400
            v.TransmissionDelay = QStringLiteral("0");
            v.ResponseDelay = setup.responseDelay;
        } else {
            v.Medium = smEthernet;
            v.TcpHost = QStringLiteral("127.0.0.1");
            v.TcpPort = QString::number(port);
            v.TcpTransmissionDelay = QStringLiteral("0");
            v.TcpResponseDelay = setup.responseDelay;
        }
        shell.NodeAddress = setup.nodes.empty() ? 1 : setup.nodes.front();
        EXPECT_TRUE(session->open_communications());

        context.Session = session.get();
        context.Prompts = &prompts;
        context.Options = &options;
        transfer = std::make_unique<TParameterTransfer>(context);
        transfer->SetFinalWait(0);
        scan = std::make_unique<TNetScan>(*transfer);
    }
    ~DeviceFixture()
    {
        scan.reset();
        transfer.reset();
        if (session)
            session->Close_Communications();
        session.reset();
        OnSim([this] { starter.reset(); });
        delete m_context;
        m_thread.quit();
        m_thread.wait();
    }

    // Runs fn in the starter's thread and waits for it.
    template <typename Fn>
    void OnSim(Fn&& fn)
    {
        QMetaObject::invokeMethod(m_context, std::forward<Fn>(fn), Qt::BlockingQueuedConnection);
    }
    // Values from the starter's thread.
    std::optional<uint16_t> Register(uint16_t address, uint8_t node = 1)
    {
        std::optional<uint16_t> v;
        OnSim([&] { v = starter->Node(node)->Register(address); });
        return v;
    }
    void SetParameter(uint16_t address, uint16_t value, uint8_t node = 1)
    {
        OnSim([&] { starter->Node(node)->SetParameter(address, value); });
    }
    void ClearLog()
    {
        OnSim([&] { starter->ClearRequestLog(); });
    }
    std::vector<sim::LogEntry> Log()
    {
        std::vector<sim::LogEntry> log;
        OnSim([&] { log = starter->RequestLog(); });
        return log;
    }

    sim::ManualClock* ManualClock() { return dynamic_cast<sim::ManualClock*>(m_setup.clock.get()); }
    // Moves the manual clock until the motor of node 1 runs; false when it never does.
    bool RunMotor()
    {
        bool running = false;
        OnSim([&] {
            for (int s = 0; s < 120 && starter->Node(1)->Motor().phase != sim::MotorPhase::Running; ++s)
                ManualClock()->Advance(1000);
            running = starter->Node(1)->Motor().phase == sim::MotorPhase::Running;
        });
        return running;
    }

    // Requests of the log with the function code, in order.
    std::vector<sim::LogEntry> Requests(uint8_t function)
    {
        std::vector<sim::LogEntry> out;
        for (const sim::LogEntry& e : Log())
            if (e.function == function)
                out.push_back(e);
        return out;
    }

    ScriptedPrompts prompts{ScriptedPrompts::Policy::Affirm};
    ScriptedErrorDecider decider{meaAbort};
    ShellState shell;
    ProgramOptions options;
    std::unique_ptr<sim::SimulatedStarter> starter;
    std::unique_ptr<TSerialSetup> session;
    DeviceContext context;
    std::unique_ptr<TParameterTransfer> transfer;
    std::unique_ptr<TNetScan> scan;

private:
    DeviceSetup m_setup;
    QTemporaryDir m_dir;
    QThread m_thread;
    QObject* m_context = nullptr;
    std::unique_ptr<sim::test::SocatPair> m_pair;
};

}  // namespace rv8::comm::test
