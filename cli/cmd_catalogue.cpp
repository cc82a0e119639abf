// rv8 catalogue: prints the built-in parameter catalogue of a model and firmware as CSV, one
// row per record, so that a starter manual can be checked against the tool.
#include "CatalogueCsv.h"
#include "Command.h"

#include "comm/AccessCodes.h"
#include "param/Catalogue.h"
#include "param/Signals.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

using namespace rv8::param;

static_assert(kFactoryPasswordValue == rv8::comm::kFactoryPassword,
              "the catalogue's factory password and the starter's must agree");

QString ListText(const PRM_REC& rec)
{
    QStringList items;
    for (int i = 0; i < rec.ValueSTR.TOTAL; ++i) {
        const auto s = static_cast<std::size_t>(i);
        items << QString::number(rec.ValueSTR.TRVALUE[s]) + "=" + QString::fromStdString(rec.ValueSTR.STRARRAY[s]);
    }
    return items.join('|');
}

int RunCatalogue(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the built-in parameter catalogue as CSV, one row per record, with the columns\n"
        "number,fno,address,group,title,units,edit_type,divisor,minimum,maximum,default,read_only,listed,in_firmware,list\n"
        "minimum, maximum and default are the working figures of the chosen model and firmware in\n"
        "display units (plain notation); read_only, listed and in_firmware are 1 or 0; list holds a\n"
        "list parameter's items as value=text joined with |.");
    parser.addHelpOption();
    const QCommandLineOption model("model",
                                   "Starter model: a model code 0..1250 (a code inside a model's range selects that "
                                   "model; 0 is the generic model) or a short name such as RV8-150 (default 0).",
                                   "M", "0");
    const QCommandLineOption firmware("firmware",
                                      "Firmware version number from the firmware table: 0 for the standard firmware, "
                                      "123 ... 401 for 1.23 ... 4.01 (default 401).",
                                      "F", "401");
    const QCommandLineOption advanced("advanced",
                                      "Build with the factory-access (advanced) mode on, as the program option "
                                      "\"Factory mode\" does.");
    parser.addOptions({model, firmware, advanced});
    if (!parser.parse(args)) {
        err << "rv8 catalogue: " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "rv8 catalogue: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return 2;
    }

    TSelectionState selection;
    QString error;
    if (!ParseModelOption(parser.value(model), selection.CurrentModelCode, error) ||
        !ParseFirmwareOption(parser.value(firmware), selection.CurrentFlashIndex, error)) {
        err << "rv8 catalogue: " << error << "\n";
        return 2;
    }
    selection.CurrentFirmwareVersion = FLASH_TABLE()[static_cast<std::size_t>(selection.CurrentFlashIndex)].FlashNum;
    selection.AdvancedMode = parser.isSet(advanced);
    SELECTION = selection;

    const std::string defect = BuildCatalogue(true);
    if (!defect.empty()) {
        err << "rv8 catalogue: catalogue defect: " << QString::fromStdString(defect) << "\n";
        return 1;
    }

    WriteCsvRow(out, {"number", "fno", "address", "group", "title", "units", "edit_type", "divisor", "minimum",
                      "maximum", "default", "read_only", "listed", "in_firmware", "list"});
    for (int n = 1; n <= PRM_TABLE.Count(); ++n) {
        const PRM_REC& rec = PRM_TABLE[n];
        const int digits = Number_of_Digits(GetPrmDivisor(PRM_TABLE, n));
        WriteCsvRow(out, {QString::number(n), QString::fromStdString(rec.PARAMETER_ID), QString::number(rec.PRMADDR),
                          QString(QChar(rec.Menu)), QString::fromStdString(rec.Title),
                          QString::fromStdString(GetPrmUnits(PRM_TABLE, n, vcMode1)), QString::number(rec.EDIT_TYPE),
                          PlainNumber(GetPrmDivisor(PRM_TABLE, n), 0),
                          PlainNumber(GetPrmMinimum(PRM_TABLE, n, vcMode1), digits),
                          PlainNumber(GetPrmMaximum(PRM_TABLE, n, vcMode1), digits),
                          PlainNumber(GetPrmValue(PRM_TABLE, n, vcDefault), digits), rec.MONITOR_ONLY ? "1" : "0",
                          rec.APPLICATION_ID.Contains(1) ? "1" : "0",
                          IsInFirmware(PRM_TABLE, n, selection) ? "1" : "0", ListText(rec)});
    }
    return 0;
}

const CommandRegistration kRegistration({"catalogue",
                                         "Print the parameter catalogue of a model and firmware as CSV.",
                                         RunCatalogue});

}  // namespace

}  // namespace rv8::cli
