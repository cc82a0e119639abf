// rv8 compare: reads the starter and compares it with a project file, as the program's "Compare
// file" does. Every parameter whose values differ is printed with its F-number, title, the
// file's value and the starter's value:
//   F001  Motor FLA: file 120 A., starter 75 A.
//   rv8 compare CONNECTION [--node N] FILE [--yes]
// Exit status: 0 all values match; 1 values differ; 2 an error (arguments, file, starter) or a
// question that was answered no or could not be asked.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "files/ProjectFile.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

int RunCompare(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 compare"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads all parameters of the starter and prints each one whose value differs from the\n"
        "project file's. Exit status 0 when they match, 1 when they differ, 2 on an error.");
    parser.addHelpOption();
    parser.addPositionalArgument("FILE", "The project file to compare with the starter.");
    const QCommandLineOption yes("yes", "Answer the questions of the compare (firmware, model) with Yes.");
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
        prompts.Print(QStringLiteral("name one project file to compare"));
        return 2;
    }

    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    files::OpenOptions open;
    open.kind = files::OpenKind::Backup;  // the compared file does not become the project
    if (!files::OpenProject(parser.positionalArguments().first(), {}, prompts, open).ok)
        return 2;

    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 2))
        return status;
    prompts.setMode(parser.isSet(yes) ? CliPrompts::Mode::Affirm : CliPrompts::Mode::Ask);
    const files::CompareOutcome outcome = files::CompareWithStarter(link.Access());
    if (!outcome.ok)
        return 2;
    for (const files::ParameterDifference& d : outcome.differences)
        out << d.parameterId << "  " << d.title << ": file " << d.workingText << ", starter " << d.starterText << "\n";
    out.flush();
    prompts.Print(outcome.differences.empty()
                      ? QStringLiteral("all %1 parameters match").arg(outcome.compared)
                      : QStringLiteral("%1 of %2 parameters differ").arg(outcome.differences.size()).arg(outcome.compared));
    return outcome.differences.empty() ? 0 : 1;
}

const CommandRegistration kCompare({"compare", "Compare a project file with the parameters of a starter.",
                                    RunCompare});

}  // namespace

}  // namespace rv8::cli
