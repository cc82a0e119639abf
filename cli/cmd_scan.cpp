// rv8 scan: probes the node addresses 1..N of a multi-drop network, as the "Scan Network..."
// window does, and prints one line per starter found with its model.
//   rv8 scan CONNECTION [--max N]
// Exit status: 0 at least one starter found; 1 none answered; 2 bad arguments or the connection
// could not be opened.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "comm/NetScan.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

int RunScan(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 scan"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription("Scans the node addresses 1..N (default 16) for starters.");
    parser.addHelpOption();
    const QCommandLineOption maxOption("max", "Highest node address to scan (1..254, default 16).", "N", "16");
    parser.addOption(maxOption);
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    bool ok = false;
    const int highest = parser.value(maxOption).toInt(&ok);
    if (!ok || highest < 1 || highest > comm::kNetworkNodeCount) {
        prompts.Print(QStringLiteral("--max takes a node address from 1 to %1").arg(comm::kNetworkNodeCount));
        return 2;
    }
    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 2))
        return status;
    comm::TNetScan& scan = *link.Access().Scan;

    const auto found = scan.ScanNetwork(highest, nullptr, nullptr, nullptr);
    for (const comm::FoundNode& node : found)
        out << comm::FoundNodeLine(node.address, node.revision) << " " << node.model << "\n";
    if (found.empty()) {
        prompts.Print(QStringLiteral("no starter answered at node addresses 1 to %1").arg(highest));
        return 1;
    }
    return 0;
}

const CommandRegistration kScan({"scan", "Scan a multi-drop network for starters.", RunScan});

}  // namespace

}  // namespace rv8::cli
