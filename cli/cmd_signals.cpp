// rv8 signals: prints the built-in monitor and trend signal catalogue as CSV.
#include "CatalogueCsv.h"
#include "Command.h"

#include "param/Catalogue.h"
#include "param/Signals.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace rv8::cli {

namespace {

using namespace rv8::param;

int RunSignals(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the built-in monitor and trend signals as CSV, one row per signal, with the columns\n"
        "number,address,title,units,edit_type,divisor,minimum,maximum,mask,shift,save_id,legacy,monitor_only\n"
        "Currents and voltages take their maximum from the full-scale values of the chosen model\n"
        "(before the monitor reads the real ones from a starter); legacy is the number the signal had in\n"
        "older monitor files (-1 for none); monitor_only is 1 or 0.");
    parser.addHelpOption();
    const QCommandLineOption model("model",
                                   "Starter model whose full-scale values scale the currents and voltages: a model "
                                   "code 0..1250 or a short name such as RV8-150 (default 0).",
                                   "M", "0");
    parser.addOption(model);
    if (!parser.parse(args)) {
        err << "rv8 signals: " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "rv8 signals: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return 2;
    }
    TSelectionState selection;
    QString error;
    if (!ParseModelOption(parser.value(model), selection.CurrentModelCode, error)) {
        err << "rv8 signals: " << error << "\n";
        return 2;
    }
    SELECTION = selection;
    const std::string defect = BuildCatalogue(true);
    if (!defect.empty()) {
        err << "rv8 signals: catalogue defect: " << QString::fromStdString(defect) << "\n";
        return 1;
    }
    for (int slot = 1; slot <= TScalingContext::kSlots; ++slot)
        SCALING_CONTEXT.ResetSlot(slot, selection.CurrentModelCode);

    const TSignalScope scope = ProgramSignals();
    WriteCsvRow(out, {"number", "address", "title", "units", "edit_type", "divisor", "minimum", "maximum", "mask",
                      "shift", "save_id", "legacy", "monitor_only"});
    for (int n = 1; n <= SIGNAL_TABLE.Count(); ++n) {
        const PRM_REC& rec = SIGNAL_TABLE[n];
        const int digits = GetSignalDigits(scope, n);
        WriteCsvRow(out, {QString::number(n), QString::number(rec.PRMADDR), QString::fromStdString(rec.Title),
                          QString::fromStdString(GetSignalUnits(scope, n)), QString::number(rec.EDIT_TYPE),
                          PlainNumber(GetSignalDivisor(scope, n), 0), PlainNumber(GetSignalMinimum(scope, n), digits),
                          PlainNumber(GetSignalMaximum(scope, n), digits), QString::number(rec.Mask),
                          QString::number(rec.Shift), QString::fromStdString(rec.SaveId),
                          QString::number(rec.LegacyIndex), rec.MONITOR_ONLY ? "1" : "0"});
    }
    return 0;
}

const CommandRegistration kRegistration({"signals", "Print the monitor and trend signal catalogue as CSV.",
                                         RunSignals});

}  // namespace

}  // namespace rv8::cli
