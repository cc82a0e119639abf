// rv8 identify: reads the starter's firmware revision and model, as the program's
// identification does, and prints them as the "Scan Results" window shows them.
//   rv8 identify CONNECTION [--node N]
// Exit status: 0 identified; 1 no starter answered, or the device is not an RV8 (the warning is
// printed); 2 bad arguments or the connection could not be opened.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

// The two labels of the "Scan Results" window.
class ResultsLabels final : public comm::IScanResultsView {
public:
    void SetFirmwareText(const QString& text) override { firmware = text; }
    void SetSeriesText(const QString& text) override { series = text; }
    void ShowResults() override {}

    QString firmware;
    QString series;
};

int RunIdentify(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 identify"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription("Identifies the starter at the node: its series (model) and firmware version.");
    parser.addHelpOption();
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 2))
        return status;
    comm::TNetScan& scan = *link.Access().Scan;
    ResultsLabels labels;
    int32_t revision = -1;
    int32_t model = -1;
    scan.IdentifyStarter(revision, model, &labels);
    if (revision < 0 || model < 0) {
        if (labels.firmware.isEmpty())
            prompts.Print(QStringLiteral("no RV8 answered at node %1").arg(scan.Transfer().Context().Node()));
        return 1;
    }
    out << "Series: " << labels.series << "\n";
    out << "Firmware Version: " << labels.firmware << "\n";
    return 0;
}

const CommandRegistration kIdentify({"identify", "Identify the starter: series and firmware version.", RunIdentify});

}  // namespace

}  // namespace rv8::cli
