// rv8 backup: saves a recovery backup of the starter's parameters, as the program's backup after
// going online does: the starter's model and firmware are selected, its parameters read and
// saved under FILE (".RV8TOOLB" is appended unless the name ends in it).
//   rv8 backup CONNECTION [--node N] --out FILE [--yes] [--name N] [--user U] [--info TEXT]
// An existing file is replaced only after "File Already Exists!, Overwrite" was answered: by
// --yes, or on the terminal.
// Exit status: 0 saved; 1 the starter could not be identified or read, or the overwrite was
// declined; 2 bad arguments, the file could not be saved, or a question that could not be asked.
#include "Command.h"
#include "ConnectionOptions.h"
#include "StarterLink.h"

#include "files/Backup.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

using comm::PromptAnswer;

int RunBackup(const QStringList& args)
{
    QTextStream out(stdout);
    CliPrompts prompts(QStringLiteral("rv8 backup"), CliPrompts::Mode::Dismiss);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads all parameters of the starter and saves them as a recovery backup (.RV8TOOLB).");
    parser.addHelpOption();
    const QCommandLineOption outFile("out", "The backup file to write.", "FILE");
    const QCommandLineOption yes("yes", "Replace an existing file without asking.");
    parser.addOptions({outFile, yes});
    const InformationOptions information;
    information.AddTo(parser);
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (const auto status = ParseDeviceArguments(parser, args, prompts))
        return *status;
    if (parser.value(outFile).isEmpty()) {
        prompts.Print(QStringLiteral("name the backup file with --out FILE"));
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
    // The backup refuses a starter whose firmware is not the selected one: select it first.
    if (!link.IdentifyAndSelect())
        return 1;

    const files::StarterAccess& access = link.Access();
    const bool withInformation = information.Apply(parser, *access.Info);
    prompts.preset(QString::fromLatin1(files::kAskInformationBeforeSave),
                   withInformation ? PromptAnswer::Yes : PromptAnswer::No);
    prompts.setMode(parser.isSet(yes) ? CliPrompts::Mode::Affirm : CliPrompts::Mode::Ask);
    files::FixedFileDialogs dialogs;
    dialogs.then(parser.value(outFile));
    const files::BackupSaveResult saved = files::SaveDriveBackup(access, dialogs);
    if (saved.ok) {
        out << saved.fileName << "\n";
        return 0;
    }
    if (!prompts.Refused().isEmpty() || !saved.message.isEmpty())
        return 2;
    return 1;
}

const CommandRegistration kBackup({"backup", "Save a recovery backup of a starter's parameters.", RunBackup});

}  // namespace

}  // namespace rv8::cli
