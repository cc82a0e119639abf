// rv8 reset: the "System Clear / Factory Reset" command. Without --clear-only the starter's
// settings go back to the factory defaults; with it only the thermal and lockout timers are
// cleared. The question the window asks ("Reset Factory Default Settings?") is asked on the
// terminal unless --yes answers it; without a terminal the command refuses.
//   rv8 reset CONNECTION [--node N] [--clear-only] [--yes]
// Exit status: 0 sent; 1 not answered (or the starter refused); 2 bad arguments, the connection
// could not be opened, or the question was refused or not answered.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "comm/DeviceCommands.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

int RunReset(const QStringList& args)
{
    QTextStream out(stdout);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Resets the starter to its factory default settings, or with --clear-only clears its thermal\n"
        "and lockout timers.");
    parser.addHelpOption();
    const QCommandLineOption clearOnly("clear-only", "Only clear the thermal and lockout timers.");
    const QCommandLineOption yes("yes", "Answer the confirmation question with yes.");
    parser.addOptions({clearOnly, yes});
    const ConnectionOptions connection;
    connection.AddTo(parser);
    CliPrompts prompts(QStringLiteral("rv8 reset"), CliPrompts::Mode::Ask);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    if (parser.isSet(yes))
        prompts.setMode(CliPrompts::Mode::Affirm);
    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    const int chosen = parser.isSet(clearOnly) ? comm::rcClearTimers : comm::rcFactoryDefaults;
    // Asked before anything is opened, so a refused question leaves the line untouched.
    const int choice = comm::ConfirmResetChoice(chosen, prompts);
    if (choice == comm::rcNone) {
        prompts.Print(QStringLiteral("nothing was sent"));
        return 2;
    }
    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 2))
        return status;
    comm::TNetScan& scan = *link.Access().Scan;
    if (!comm::SendSystemReset(scan.Transfer(), choice)) {
        prompts.Print(QStringLiteral("the starter did not take \"%1\"").arg(comm::ResetChoiceCaption(choice)));
        return 1;
    }
    out << comm::ResetChoiceCaption(choice) << ": sent\n";
    return 0;
}

const CommandRegistration kReset({"reset", "System clear / factory reset of the starter.", RunReset});

}  // namespace

}  // namespace rv8::cli
