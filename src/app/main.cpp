// rv8tool: the desktop program.
//
//   rv8tool [file]        starts the program; all arguments joined with blanks name a project
//                         file to open at start
//   rv8tool --demo        starts a simulated starter in the program (Modbus TCP on a free
//                         loopback port) and points the communication settings at it; the
//                         user's stored settings are not touched (a scratch settings file)
//
// Hidden: --screenshot-script <folder> (with --demo) drives the window through its main views and
// saves PNG pictures of them into the folder, then ends.

#include "app/DeviceFlows.h"
#include "app/ErrForm.h"
#include "app/MainForm.h"
#include "app/PrmGrp2.h"
#include "app/SerialSetupForm.h"
#include "app/Splash.h"
#include "app/WidgetPrompts.h"
#include "comm/ProgramOptions.h"
#include "comm/Serial.h"
#include "files/RegValues.h"
#include "files/uReg.h"
#include "param/Catalogue.h"
#include "param/NuvShared.h"
#include "sim/SimulatedStarter.h"

#include <QDir>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace rv8;

namespace {

// The demo's simulated starter on a thread of its own: the client's wait for a TCP reply blocks
// the window thread, so a starter sharing it could never answer.
class DemoStarter {
public:
    DemoStarter()
    {
        m_thread.start();
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
        run([this] {
            sim::SimulatedStarter::Config config;
            m_sim = sim::SimulatedStarter::Create(config, &m_error);
            if (m_sim && m_sim->ListenTcp(sim::Medium::ModbusTcp, QHostAddress::LocalHost, 0, &m_error))
                m_port = m_sim->TcpPort();
        });
    }
    ~DemoStarter()
    {
        run([this] { m_sim.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    quint16 Port() const { return m_port; }
    const QString& Error() const { return m_error; }

private:
    void run(const std::function<void()>& fn)
    {
        QMetaObject::invokeMethod(m_context, fn, Qt::BlockingQueuedConnection);
    }
    QThread m_thread;
    QObject* m_context = nullptr;
    std::unique_ptr<sim::SimulatedStarter> m_sim;
    QString m_error;
    quint16 m_port = 0;
};

void ApplySystemNumberSettings()
{
    const QLocale locale = QLocale::system();
    QString time = QStringLiteral(":");
    for (const QChar c : locale.timeFormat(QLocale::ShortFormat))
        if (!c.isLetter() && !c.isSpace()) {
            time = c;
            break;
        }
    param::ApplyNumberSettings(param::NUMBER_SETTINGS, locale.decimalPoint().toStdString(),
                               locale.groupSeparator().toStdString(), time.toStdString());
}

// Saves pictures of the main views for the documentation, then ends the program.
void RunScreenshotScript(app::TMainForm& form, comm::ProgramOptions& options, const QString& folder, int& exitCode)
{
    // No window may wait for an answer here.
    options.L12 = false;
    options.L26 = false;
    QDir().mkpath(folder);
    const auto save = [&](QWidget* widget, const QString& name) {
        QCoreApplication::processEvents();
        const bool ok = widget->grab().save(QDir(folder).filePath(name));
        std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", qPrintable(name));
        if (!ok)
            exitCode = 1;
    };
    form.ShowWelcomeScreen();
    save(&form, QStringLiteral("welcome.png"));

    comm::TSerialSetup& session = form.Session();
    app::TSerialSetupForm* setup = form.SerialSetupForm();
    setup->show();
    save(setup, QStringLiteral("communication-setup.png"));
    setup->hide();
    session.open_communications();
    form.UpdateStatusPanels();
    form.Flows().Read();
    form.ShowParameterScreen();
    save(&form, QStringLiteral("parameters-after-read.png"));
    if (app::TGroupPrm2* editor = form.Editor()) {
        const int fla = param::PRM_TABLE.DEPENDENCY_MAP[param::deiMotorFla];
        if (fla > 0) {
            editor->FillControls(fla, false);
            editor->show();
            save(editor, QStringLiteral("editor.png"));
            editor->hide();
        }
    }
    session.Close_Communications();
    QCoreApplication::exit(exitCode);
}

}  // namespace

int main(int argc, char** argv)
{
    app::TApplication application(argc, argv);
    QStringList arguments = application.arguments();
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    QString screenshotFolder;
    const qsizetype scriptAt = arguments.indexOf(QStringLiteral("--screenshot-script"));
    if (scriptAt > 0) {
        screenshotFolder = arguments.value(scriptAt + 1, QStringLiteral("docs"));
        arguments.remove(scriptAt, std::min<qsizetype>(2, arguments.size() - scriptAt));
    }

    int exitCode = 0;
    try {
        // Program-wide state: number settings, then the catalogue for the default selection.
        ApplySystemNumberSettings();
        const std::string defect = param::BuildCatalogue(true);
        if (!defect.empty())
            throw param::CatalogueError(defect);

        auto splash = std::make_unique<app::TLoading>(arguments);
        if (screenshotFolder.isEmpty()) {
            splash->show();
            splash->repaint();
        }
        QCoreApplication::setApplicationName(app::kApplicationTitle);
        QGuiApplication::setApplicationDisplayName(app::kApplicationTitle);

        // The demo keeps its settings in a scratch file, so the user's stay as they are.
        QTemporaryDir scratch;
        std::unique_ptr<DemoStarter> demoStarter;
        if (demo) {
            files::SettingsLocation::SetDefault(
                files::SettingsLocation::File(scratch.filePath(QStringLiteral("rv8tool-demo.ini"))));
            demoStarter = std::make_unique<DemoStarter>();
            if (demoStarter->Port() == 0) {
                std::fprintf(stderr, "rv8tool: the simulated starter could not start: %s\n",
                             qPrintable(demoStarter->Error()));
                return 1;
            }
        }

        comm::ProgramOptions options;
        app::TErrForm errorDialog;
        std::unique_ptr<comm::UserPrompts> prompts;
        if (screenshotFolder.isEmpty())
            prompts = std::make_unique<app::WidgetPrompts>();
        else
            prompts = std::make_unique<comm::ScriptedPrompts>(comm::ScriptedPrompts::Policy::Dismiss);
        comm::TSerialSetup session(*prompts, errorDialog);
        session.SetProgramOptions(&options);
        session.SetBeep([] { QApplication::beep(); });
        if (demo) {
            session.Load_Baud();
            comm::TSerialSetupValues values = session.Values();
            values.Medium = comm::smEthernet;
            values.TcpInterface = comm::kEthernetDirectTag;
            values.TcpMedium = 0;
            values.TcpHost = QStringLiteral("127.0.0.1");
            values.TcpPort = QString::number(demoStarter->Port());
            session.SetValues(values);
            session.Save_Baud();
        }
        app::TQtFileDialogs dialogs;
        app::MainServices services;
        services.Prompts = prompts.get();
        services.Dialogs = &dialogs;
        services.Session = &session;
        services.Options = &options;
        services.Location = files::SettingsLocation::Default();
        if (demo)
            services.RecentDocumentsFile = scratch.filePath(QStringLiteral("RV8TOOL_RecentDocuments.ini"));

        app::TMainForm form(services);
        form.SetStartupFile(splash->StartupFile());
        if (auto* widgetPrompts = dynamic_cast<app::WidgetPrompts*>(prompts.get()))
            *widgetPrompts = app::WidgetPrompts(&form);
        if (screenshotFolder.isEmpty()) {
            form.showMaximized();
        } else {
            form.resize(1280, 800);
            form.show();
        }
        // SplashTimer: the splash goes 750 ms after the first show.
        QTimer::singleShot(750, &form, [&splash] { splash.reset(); });
        if (!screenshotFolder.isEmpty())
            QTimer::singleShot(300, &form, [&] { RunScreenshotScript(form, options, screenshotFolder, exitCode); });

        app::TApplication::AppRunning = true;
        const int result = application.exec();
        return screenshotFolder.isEmpty() ? result : exitCode;
    } catch (const std::exception& error) {
        app::TApplication::Abort(QString::fromLocal8Bit(error.what()));
    }
    return 1;
}
