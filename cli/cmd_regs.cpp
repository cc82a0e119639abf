// rv8 regs: reads or writes holding registers of one node through the Modbus client.
//   rv8 regs read CONNECTION [--node N] ADDRESS COUNT     prints "ADDRESS VALUE" per register
//   rv8 regs write CONNECTION [--node N] ADDRESS VALUE...  writes with function code 16
// Nothing waits for a person: a failed request is aborted, its error text goes to stderr and
// the exit status is 1 (2 for bad arguments).
#include "Command.h"
#include "ConnectionOptions.h"

#include "comm/NuvModbus.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <vector>

namespace rv8::cli {

namespace {

using namespace rv8::comm;

bool ParseWord(const QString& text, long long low, long long high, long long& value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok, 0);  // decimal, or 0x... hexadecimal
    return ok && value >= low && value <= high;
}

int RunRegs(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads or writes holding registers of one node.\n"
        "  rv8 regs read CONNECTION [--node N] ADDRESS COUNT\n"
        "  rv8 regs write CONNECTION [--node N] ADDRESS VALUE...\n"
        "read prints one line \"ADDRESS VALUE\" per register, in decimal (COUNT 1..125);\n"
        "write sends the values (1..123, 0..65535 each) with function code 16.\n"
        "Addresses are the register addresses as they go on the wire (e.g. 1001).");
    parser.addHelpOption();
    parser.addPositionalArgument("read|write", "What to do.");
    parser.addPositionalArgument("ADDRESS", "First register address, 0..65535.");
    parser.addPositionalArgument("COUNT|VALUE...", "Number of registers to read, or the values to write.");
    const ConnectionOptions connection;
    connection.AddTo(parser);
    if (!parser.parse(args)) {
        err << "rv8 regs: " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet("help")) {
        out << parser.helpText();
        return 0;
    }
    auto usage = [&err](const QString& text) {
        err << "rv8 regs: " << text << "\n";
        return 2;
    };

    const QStringList pos = parser.positionalArguments();
    if (pos.isEmpty() || (pos[0] != "read" && pos[0] != "write"))
        return usage("say read or write (rv8 regs --help)");
    const bool read = pos[0] == "read";
    if (read && pos.size() != 3)
        return usage("read needs ADDRESS COUNT");
    if (!read && pos.size() < 3)
        return usage("write needs ADDRESS and at least one VALUE");

    TNuvModbus_Settings settings;
    uint8_t node = 1;
    QString error;
    if (!connection.Read(parser, settings, node, error))
        return usage(error);

    long long address = 0;
    if (!ParseWord(pos[1], 0, 65535, address))
        return usage(QString("ADDRESS '%1' is not a register address 0..65535").arg(pos[1]));
    std::vector<uint16_t> values;
    if (read) {
        long long count = 0;
        if (!ParseWord(pos[2], 1, 125, count))
            return usage(QString("COUNT '%1' is not a number 1..125").arg(pos[2]));
        values.resize(static_cast<size_t>(count));
    } else {
        if (pos.size() - 2 > 123)
            return usage("at most 123 values can be written at once");
        for (qsizetype i = 2; i < pos.size(); ++i) {
            long long v = 0;
            if (!ParseWord(pos[i], 0, 65535, v))
                return usage(QString("VALUE '%1' is not a number 0..65535").arg(pos[i]));
            values.push_back(static_cast<uint16_t>(v));
        }
    }
    if (address + static_cast<long long>(values.size()) - 1 > 65535)
        return usage("the registers run past address 65535");

    TNuvModbus client;
    QString failure;
    client.SetOnError([&failure](TNuvModbus_CheckResponseError, const QString& description, bool,
                                 TNuvModbus_ErrorEventAction& action) {
        failure = description;
        action = meaAbort;
    });
    if (!client.Open(settings)) {
        err << "rv8 regs: cannot open " << ConnectionOptions::Describe(settings) << "\n";
        return 1;
    }
    TNuvModbus_RequestSettings request;
    const auto first = static_cast<uint16_t>(address);
    const bool ok = read ? client.ReadHoldingRegisters(node, first, values, &request)
                         : client.WriteMultipleRegisters(node, first, std::span<const uint16_t>(values), &request);
    client.Close();
    if (!ok) {
        if (failure.isEmpty())
            failure = request.ResponseError != bmeNone ? QString::fromLatin1(ErrorText(request.ResponseError))
                                                       : QStringLiteral("The reply does not match the request.");
        err << "rv8 regs: " << failure << "\n";
        return 1;
    }
    if (read) {
        for (size_t i = 0; i < values.size(); ++i)
            out << (address + static_cast<long long>(i)) << ' ' << values[i] << '\n';
    }
    return 0;
}

const CommandRegistration kRegs({"regs", "Read or write holding registers of one node.", RunRegs});

}  // namespace

}  // namespace rv8::cli
