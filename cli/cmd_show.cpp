// rv8 show: prints a project file (or recovery backup) as a table, for a reader without the
// window. The file is opened exactly as the program's Open does (both passes, the firmware and
// model checks, the range checks), so what is shown is what the program would work with.
#include "Command.h"

#include "comm/UserPrompts.h"
#include "files/ProjectFile.h"
#include "param/Catalogue.h"
#include "param/Models.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace rv8::cli {

namespace {

using namespace rv8::param;

// Longer values (some list texts) push their default to the right rather than widen every row.
constexpr int kMaxValueWidth = 30;

// A value as the program shows it: the list item text, "Off", or the number with its units.
QString ShownValue(const PrmTable& table, int number, int column)
{
    const PRM_REC& r = table[number];
    const Fixed value = GetPrmValue(table, number, column);
    if (IsListEditType(r.EDIT_TYPE))
        return QString::fromStdString(ListTextOfValue(table, number, column, value, files::kUnknownSetting));
    const QString text = QString::fromStdString(FormatPrmValue(table, number, column));
    if (IsPrmOff(table, number, column))
        return text;
    const QString units = QString::fromStdString(GetPrmUnits(table, number, column));
    return units.isEmpty() ? text : text + ' ' + units;
}

int RunShow(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints a project file (.RV8Proj) or recovery backup (.RV8TOOLB) as a table: F-number, title,\n"
        "value (with units, or the list item text) and the factory default, for every parameter the\n"
        "file carries, after the file's starter model, firmware version and project information.\n"
        "The file is read as the program's Open reads it. A file error prints the program's message\n"
        "and exits with status 2; a line in error or a value out of range counts as a file error\n"
        "unless --skip-errors is given.");
    parser.addHelpOption();
    parser.addPositionalArgument("FILE", "The project file.");
    const QCommandLineOption skipErrors(
        "skip-errors",
        "Answer OK to the reader's questions: lines in error are skipped and values out of range are\n"
        "replaced by the defaults, each reported on standard error.");
    parser.addOption(skipErrors);
    if (!parser.parse(args)) {
        err << "rv8 show: " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        err << "rv8 show: expected one FILE\n";
        return 2;
    }
    const QString fileName = parser.positionalArguments().first();

    const std::string defect = BuildCatalogue(true);
    if (!defect.empty()) {
        err << "rv8 show: catalogue defect: " << QString::fromStdString(defect) << "\n";
        return 1;
    }

    comm::ScriptedPrompts prompts(parser.isSet(skipErrors) ? comm::ScriptedPrompts::Policy::Affirm
                                                           : comm::ScriptedPrompts::Policy::Dismiss);
    const files::OpenResult opened = files::OpenProject(fileName, {}, prompts);
    if (!opened.ok) {
        err << "rv8 show: " << fileName;
        if (opened.line > 0)
            err << ":" << opened.line;
        err << ": " << (opened.message.isEmpty() ? QStringLiteral("file read aborted") : opened.message) << "\n";
        return 2;
    }
    // Questions answered OK under --skip-errors: what was skipped or replaced.
    // Both passes ask about the same bad line; it is reported once.
    QSet<QString> reported;
    for (const auto& asked : prompts.asked()) {
        const QString text = QString(asked.prompt.text).replace(QStringLiteral("\n\n"), QStringLiteral(" "));
        if (!reported.contains(text))
            err << "rv8 show: " << fileName << ": warning: " << text << "\n";
        reported.insert(text);
    }

    const PrmTable& table = PRM_TABLE;
    const files::ProjectInformation& info = files::PROJECT_INFORMATION;
    const auto& flash = FLASH_TABLE()[static_cast<std::size_t>(SELECTION.CurrentFlashIndex)];
    out << "File:         " << QFileInfo(fileName).fileName() << "\n";
    out << "Series:       " << QString::fromStdString(ModelShortName(SELECTION.CurrentModelCode)) << "\n";
    out << "Firmware:     " << QString::fromStdString(flash.FlashStr) << " (" << flash.FlashNum << ")\n";
    out << "Project:      " << info.ProjectName << "\n";
    out << "User:         " << info.UserName << "\n";
    const QStringList lines = info.TextLines();
    out << "Information:" << (lines.isEmpty() ? "\n" : "");
    for (int i = 0; i < lines.size(); ++i)
        out << (i == 0 ? " " : "             ") << lines[i] << "\n";
    out << "\n";

    struct Row {
        QString fno, title, value, defaultValue;
    };
    std::vector<Row> rows;
    Row heading {"F-No.", "Title", "Value", "Default"};
    int titleWidth = static_cast<int>(heading.title.size());
    int valueWidth = static_cast<int>(heading.value.size());
    for (int n = 1; n <= table.Count(); ++n) {
        if (!files::IsSavedParameter(table, n, SELECTION))
            continue;
        Row row {QString::fromStdString(table[n].PARAMETER_ID), QString::fromStdString(table[n].Title),
                 ShownValue(table, n, SELECTION.CurrentControlMode), ShownValue(table, n, vcDefault)};
        titleWidth = std::max(titleWidth, static_cast<int>(row.title.size()));
        valueWidth = std::max(valueWidth, std::min(static_cast<int>(row.value.size()), kMaxValueWidth));
        rows.push_back(row);
    }
    auto print = [&](const Row& row) {
        out << row.fno.leftJustified(7) << row.title.leftJustified(titleWidth + 2) << row.value.leftJustified(valueWidth + 2)
            << row.defaultValue << "\n";
    };
    print(heading);
    for (const Row& row : rows)
        print(row);
    return 0;
}

const CommandRegistration kRegistration({"show", "Print a project file as a table of its parameter values.", RunShow});

}  // namespace

}  // namespace rv8::cli
