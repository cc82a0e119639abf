#pragma once
// Subcommands of the rv8 command line. Each lives in its own cmd_*.cpp and registers itself
// with a static CommandRegistration, so adding one needs no change elsewhere.

#include <QStringList>
#include <functional>

namespace rv8::cli {

struct Command {
    QString name;     // as typed: "catalogue", "regs", ...
    QString summary;  // one line for `rv8 --help`
    // args[0] is "rv8 <name>", the rest are the subcommand's own arguments (QCommandLineParser-ready).
    // Returns the process exit status.
    std::function<int(const QStringList& args)> run;
};

void RegisterCommand(Command command);

struct CommandRegistration {
    explicit CommandRegistration(Command command) { RegisterCommand(std::move(command)); }
};

}  // namespace rv8::cli
