#pragma once
// What the commissioning subcommands (read, write, compare, backup) share: the terminal as the
// program's prompts, and one connected starter with the communication session, transfer,
// identification and the selection behind it.
//
//     CliPrompts prompts("rv8 read", CliPrompts::Mode::Ask);
//     StarterLink link(prompts);
//     if (!link.Connect(settings, node, error) || !link.IdentifyAndSelect()) return 1;
//     files::ReadStarterParameters(link.Access());

#include "comm/ErrorDecider.h"
#include "comm/NetScan.h"
#include "comm/Serial.h"
#include "comm/Transfer.h"
#include "comm/UserPrompts.h"
#include "files/BackupTransfer.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHash>
#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

namespace rv8::cli {

class ConnectionOptions;

// The program's messages and questions on the terminal. Every prompt is printed to stderr after
// the command's name. Questions are answered by the mode:
//   Affirm  Yes / OK (the --yes flag);
//   Ask     on the terminal when stdin is one; without a terminal the question is refused: it
//           gets Cancel / No and Refused() tells which question it was;
//   Dismiss Cancel / No, silently (questions that a command answers for the user).
// A question given an answer with preset() gets it, whatever the mode.
class CliPrompts final : public comm::UserPrompts {
public:
    enum class Mode { Affirm, Ask, Dismiss };

    CliPrompts(QString command, Mode mode);

    comm::PromptAnswer ask(const comm::Prompt& prompt) override;
    // Answers the question with exactly this text (its answers are not the user's to give).
    CliPrompts& preset(const QString& text, comm::PromptAnswer answer)
    {
        m_presets.insert(text, answer);
        return *this;
    }
    void setMode(Mode mode) { m_mode = mode; }

    // The text of the first question that could not be asked (no terminal), empty when none.
    const QString& Refused() const { return m_refused; }
    const QString& Command() const { return m_command; }
    // Prints "<command>: text" to stderr.
    void Print(const QString& text);

private:
    QString m_command;
    Mode m_mode;
    QHash<QString, comm::PromptAnswer> m_presets;
    QString m_refused;
    QTextStream m_err;
};

// "Error Detected" without a person: the error text goes to the terminal and the request is
// aborted.
class CliErrorDecider final : public comm::ErrorDecider {
public:
    explicit CliErrorDecider(CliPrompts& prompts) : m_prompts(prompts) {}
    comm::TNuvModbus_ErrorEventAction Decide(const QString& Text, bool AllowIgnore) override;

private:
    CliPrompts& m_prompts;
};

// The options --name, --user and --info of the subcommands that save a file, and the answer
// they give to the save's project information question.
class InformationOptions {
public:
    InformationOptions();
    void AddTo(QCommandLineParser& parser) const;
    // Fills the program's project information from the options; true when any was given (the
    // information sections are then written).
    bool Apply(const QCommandLineParser& parser, files::ProjectInformation& info) const;

private:
    QCommandLineOption m_name;
    QCommandLineOption m_user;
    QCommandLineOption m_info;
};

// One starter reached through the connection options: the session (on the program's shell state
// and tables), the transfer without a progress window, the identification, and the selection
// built for the starter.
class StarterLink {
public:
    explicit StarterLink(CliPrompts& prompts);
    ~StarterLink();
    StarterLink(const StarterLink&) = delete;
    StarterLink& operator=(const StarterLink&) = delete;

    // Opens the client with the command-line settings and addresses `node`; false with a message
    // when the connection cannot be opened.
    bool Connect(const comm::TNuvModbus_Settings& settings, uint8_t node, QString& error);
    // Reads the connection options and connects: 0, or the exit status after the message (2 for
    // options that are not usable, `failure` when the connection cannot be opened).
    int Open(const ConnectionOptions& connection, const QCommandLineParser& parser, int failure);
    // The identification scan, and the starter's model and firmware become the selection (the
    // catalogue is rebuilt for them). False after the flow's own messages.
    bool IdentifyAndSelect();

    const files::StarterAccess& Access() const { return m_access; }
    comm::ProgramOptions& Options() { return m_options; }

private:
    CliPrompts& m_prompts;
    CliErrorDecider m_decider;
    comm::ProgramOptions m_options;
    std::unique_ptr<comm::TSerialSetup> m_session;
    std::unique_ptr<comm::TParameterTransfer> m_transfer;
    std::unique_ptr<comm::TNetScan> m_scan;
    files::StarterAccess m_access;
};

// Builds the program's catalogue for its start selection (the standard firmware and the generic
// model, until a starter or a file says otherwise). False with the defect message.
bool PrepareCatalogue(QString& error);

// Parses a device subcommand's arguments (no positional arguments). Returns the exit status when
// the command must end here: 2 after printing a parse error or an unexpected argument, 0 after
// printing the help text; nothing when the command goes on.
std::optional<int> ParseDeviceArguments(QCommandLineParser& parser, const QStringList& args, CliPrompts& prompts);

}  // namespace rv8::cli
