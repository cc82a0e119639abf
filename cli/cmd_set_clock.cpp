// rv8 set-clock: the "Set System Real Time Clock" command. Sets the starter's clock to the given
// time, or to this computer's local time; the year must lie in 2000..2047. The command asks on
// the terminal before it changes the starter, unless --yes answers; without a terminal it refuses.
//   rv8 set-clock CONNECTION [--node N] [--time "YYYY-MM-DD hh:mm:ss"] [--yes]
// Exit status: 0 set; 1 a write failed (the writes before it stay); 2 bad arguments, a year out
// of range, the connection could not be opened, or the question was refused.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "comm/DeviceCommands.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QTextStream>

namespace rv8::cli {

namespace {

int RunSetClock(const QStringList& args)
{
    QTextStream out(stdout);
    QCommandLineParser parser;
    parser.setApplicationDescription("Sets the starter's real-time clock.");
    parser.addHelpOption();
    const QCommandLineOption time("time", "The time to set, \"YYYY-MM-DD hh:mm:ss\" (default: now).", "TIME");
    const QCommandLineOption yes("yes", "Answer the confirmation question with yes.");
    parser.addOptions({time, yes});
    const ConnectionOptions connection;
    connection.AddTo(parser);
    CliPrompts prompts(QStringLiteral("rv8 set-clock"), CliPrompts::Mode::Ask);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    if (parser.isSet(yes))
        prompts.setMode(CliPrompts::Mode::Affirm);

    QDateTime when = QDateTime::currentDateTime();
    if (parser.isSet(time)) {
        when = QDateTime::fromString(parser.value(time).trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid()) {
            prompts.Print(QStringLiteral("--time takes \"YYYY-MM-DD hh:mm:ss\", not \"%1\"").arg(parser.value(time)));
            return 2;
        }
    }
    comm::TClockValues values;
    if (!comm::AcceptClockEntry(when.date(), when.time(), values, prompts))
        return 2;
    const QString text = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!prompts.questionYesNo({}, QStringLiteral("Set the starter's real-time clock to %1?").arg(text))) {
        prompts.Print(QStringLiteral("nothing was sent"));
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
    if (!comm::SetStarterClock(link.Access().Scan->Transfer().Context(), values)) {
        prompts.Print(QStringLiteral("the clock was not set"));
        return 1;
    }
    out << "Clock set to " << text << "\n";
    return 0;
}

const CommandRegistration kSetClock({"set-clock", "Set the starter's real-time clock.", RunSetClock});

}  // namespace

}  // namespace rv8::cli
