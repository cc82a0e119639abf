// rv8 read: identifies the starter, selects its model and firmware, reads every parameter and
// saves them as a project file, as the program's Read followed by Save does.
//   rv8 read CONNECTION [--node N] --out FILE.RV8Proj [--name N] [--user U] [--info TEXT]
// Exit status: 0 saved; 1 the starter could not be identified or read (nothing is written);
// 2 bad arguments or the file could not be saved (a previous file of that name stays as it was).
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "files/ProjectFile.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

using comm::PromptAnswer;

int RunRead(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 read"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Identifies the starter, selects its model and firmware, reads all parameters and saves\n"
        "them as a project file (.RV8Proj). With --name, --user or --info the project information\n"
        "is saved with them.");
    parser.addHelpOption();
    const QCommandLineOption outFile("out", "The project file to write.", "FILE");
    parser.addOption(outFile);
    const InformationOptions information;
    information.AddTo(parser);
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    if (parser.value(outFile).isEmpty()) {
        prompts.Print(QStringLiteral("name the file to write with --out FILE"));
        return 2;
    }

    QString error;
    if (!PrepareCatalogue(error)) {
        prompts.Print(error);
        return 2;
    }
    StarterLink link(prompts);
    if (const int status = link.Open(connection, parser, 1))
        return status;
    const files::StarterAccess& access = link.Access();
    if (!files::ReadStarterParameters(access, true))
        return 1;

    const bool withInformation = information.Apply(parser, *access.Info);
    prompts.preset(QString::fromLatin1(files::kAskInformationBeforeSave),
                   withInformation ? PromptAnswer::Yes : PromptAnswer::No);
    const files::FileResult saved = files::SaveProjectFile(parser.value(outFile), access.Workspace(), prompts);
    return saved.ok ? 0 : 2;
}

const CommandRegistration kRead({"read", "Read all parameters of a starter into a project file.", RunRead});

}  // namespace

}  // namespace rv8::cli
