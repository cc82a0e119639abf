// rv8 write: opens a project file as the program's Open does and writes all of its parameters to
// the starter with the Write command's checks (firmware, model, a running motor).
//   rv8 write CONNECTION [--node N] FILE [--yes]
// The questions of the write are answered by --yes; without it they are asked on the terminal,
// and refused when there is none. The questions of the file (a bad line, a value out of range)
// are not the write's: they stop it.
// Exit status: 0 written; 1 the starter could not be identified or written, or a question was
// answered no; 2 bad arguments, a file error, or a question that could not be asked.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "files/ProjectFile.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

int RunWrite(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 write"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Opens a project file (.RV8Proj or .RV8TOOLB) and writes all of its parameters to the\n"
        "starter, with the checks of the program's Write command.");
    parser.addHelpOption();
    parser.addPositionalArgument("FILE", "The project file to write to the starter.");
    const QCommandLineOption yes("yes", "Answer the questions of the write with Yes.");
    parser.addOption(yes);
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (!parser.parse(args)) {
        prompts.Print(parser.errorText());
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        prompts.Print(QStringLiteral("name one project file to write"));
        return 2;
    }

    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    // The file first: a file that cannot be used costs no traffic to the starter.
    const files::OpenResult opened = files::OpenProject(parser.positionalArguments().first(), {}, prompts);
    if (!opened.ok)
        return 2;

    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 1))
        return status;
    prompts.setMode(parser.isSet(yes) ? CliPrompts::Mode::Affirm : CliPrompts::Mode::Ask);
    if (files::WriteStarterParameters(link.Access()))
        return 0;
    return prompts.Refused().isEmpty() ? 1 : 2;
}

const CommandRegistration kWrite({"write", "Write all parameters of a project file to a starter.", RunWrite});

}  // namespace

}  // namespace rv8::cli
