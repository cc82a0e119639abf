// rv8: the command line of RV8 Tool. The subcommands run the same flows as the desktop program.
#include "Command.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace rv8::cli {

static std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}

void RegisterCommand(Command command) { Registry().push_back(std::move(command)); }

static void PrintUsage(QTextStream& out)
{
    auto commands = Registry();
    std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    out << "Usage: rv8 SUBCOMMAND [OPTIONS]\n\n"
           "RV8 Tool command line: configure, read and check RV8 soft starters over Modbus.\n\n"
           "Subcommands:\n";
    for (const auto& c : commands)
        out << "  " << c.name.leftJustified(12) << c.summary << "\n";
    out << "\nrv8 SUBCOMMAND --help describes the options of a subcommand.\n";
}

}  // namespace rv8::cli

int main(int argc, char** argv)
{
    using namespace rv8::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("rv8");
    QCoreApplication::setOrganizationName("VORNEKA");
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
        PrintUsage(args.size() < 2 ? err : out);
        return args.size() < 2 ? 2 : 0;
    }
    const QString name = args[1];
    for (const auto& c : Registry()) {
        if (c.name == name) {
            QStringList sub = args.mid(2);
            sub.prepend("rv8 " + name);
            return c.run(sub);
        }
    }
    err << "rv8: unknown subcommand '" << name << "'\n";
    PrintUsage(err);
    return 2;
}
