#include "StarterLink.h"

#include "ConnectionOptions.h"

#include "param/Catalogue.h"

#include <cstdio>
#include <iostream>
#include <string>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace rv8::cli {

using namespace rv8::comm;

namespace {

bool StdinIsTerminal()
{
#if defined(Q_OS_UNIX)
    return ::isatty(STDIN_FILENO) != 0;
#else
    return false;
#endif
}

// The prompt's own line breaks ("\r", "\r\n") as terminal lines.
QString TerminalText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed();
}

QString ButtonChoices(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return {};
    case PromptButtons::OkCancel: return QStringLiteral("[ok/cancel]");
    case PromptButtons::YesNo: return QStringLiteral("[yes/no]");
    case PromptButtons::YesCancel: return QStringLiteral("[yes/abort]");
    case PromptButtons::YesNoCancel: return QStringLiteral("[yes/no/abort]");
    }
    return {};
}

// The terminal answer as a button; the dismiss answer for anything not understood.
PromptAnswer ParseAnswer(const QString& typed, PromptButtons buttons)
{
    const QString a = typed.trimmed().toLower();
    PromptAnswer answer = DismissAnswer(buttons);
    if (a == "y" || a == "yes")
        answer = PromptAnswer::Yes;
    else if (a == "o" || a == "ok")
        answer = PromptAnswer::Ok;
    else if (a == "n" || a == "no")
        answer = PromptAnswer::No;
    return Offers(buttons, answer) ? answer : DismissAnswer(buttons);
}

}  // namespace

CliPrompts::CliPrompts(QString command, Mode mode) : m_command(std::move(command)), m_mode(mode), m_err(stderr) {}

void CliPrompts::Print(const QString& text)
{
    m_err << m_command << ": " << text << "\n";
    m_err.flush();
}

PromptAnswer CliPrompts::ask(const Prompt& prompt)
{
    const QString text = TerminalText(prompt.text);
    if (prompt.buttons == PromptButtons::Ok) {
        Print(text);
        return PromptAnswer::Ok;
    }
    const auto preset = m_presets.constFind(prompt.text);
    if (preset != m_presets.constEnd() && Offers(prompt.buttons, preset.value()))
        return preset.value();
    switch (m_mode) {
    case Mode::Affirm: Print(text + " " + ButtonChoices(prompt.buttons) + " yes (--yes)"); return AffirmAnswer(prompt.buttons);
    case Mode::Dismiss: Print(text); return DismissAnswer(prompt.buttons);
    case Mode::Ask: break;
    }
    if (!StdinIsTerminal()) {
        if (m_refused.isEmpty())
            m_refused = text;
        Print(text + " " + ButtonChoices(prompt.buttons) + " not answered: there is no terminal (give --yes)");
        return DismissAnswer(prompt.buttons);
    }
    m_err << m_command << ": " << text << " " << ButtonChoices(prompt.buttons) << " ";
    m_err.flush();
    std::string line;
    if (!std::getline(std::cin, line))
        return DismissAnswer(prompt.buttons);
    return ParseAnswer(QString::fromLocal8Bit(line.c_str()), prompt.buttons);
}

TNuvModbus_ErrorEventAction CliErrorDecider::Decide(const QString& Text, bool)
{
    m_prompts.Print(TerminalText(Text));
    return meaAbort;
}

InformationOptions::InformationOptions()
    : m_name("name", "Project name saved with the parameters.", "N")
    , m_user("user", "User name saved with the parameters.", "U")
    , m_info("info", "Information text saved with the parameters (20 lines of 80 characters are kept).", "TEXT")
{
}

void InformationOptions::AddTo(QCommandLineParser& parser) const { parser.addOptions({m_name, m_user, m_info}); }

bool InformationOptions::Apply(const QCommandLineParser& parser, files::ProjectInformation& info) const
{
    if (!parser.isSet(m_name) && !parser.isSet(m_user) && !parser.isSet(m_info))
        return false;
    info.Clear();
    info.ProjectName = parser.value(m_name);
    info.UserName = parser.value(m_user);
    info.SetInfoLines(files::UserInfoForm::MemoLines(parser.value(m_info)));
    return true;
}

StarterLink::StarterLink(CliPrompts& prompts) : m_prompts(prompts), m_decider(prompts)
{
    m_session = std::make_unique<TSerialSetup>(m_prompts, m_decider, SHELL);
    m_session->SetProgramOptions(&m_options);
}

StarterLink::~StarterLink()
{
    m_scan.reset();
    m_transfer.reset();
    if (m_session)
        m_session->Close_Communications();
}

bool StarterLink::Connect(const TNuvModbus_Settings& settings, uint8_t node, QString& error)
{
    // The command line names the connection exactly (any baud rate, ASCII, delays in ms), which
    // the set-up window's stored fields cannot all express, so the session's client is opened
    // with these settings directly; the session stays the way to the starter for every flow.
    if (!m_session->Modbus().Open(settings)) {
        error = QStringLiteral("cannot open the connection");
        return false;
    }
    ShellState& shell = m_session->Shell();
    shell.IsOnline = true;
    shell.NodeAddress = node;

    DeviceContext context;
    context.Session = m_session.get();
    context.Prompts = &m_prompts;
    context.Options = &m_options;
    m_transfer = std::make_unique<TParameterTransfer>(context);
    m_scan = std::make_unique<TNetScan>(*m_transfer);
    m_access.Scan = m_scan.get();
    return true;
}

int StarterLink::Open(const ConnectionOptions& connection, const QCommandLineParser& parser, int failure)
{
    TNuvModbus_Settings settings;
    uint8_t node = 1;
    QString error;
    if (!connection.Read(parser, settings, node, error)) {
        m_prompts.Print(error);
        return 2;
    }
    if (!Connect(settings, node, error)) {
        m_prompts.Print(QStringLiteral("cannot open %1").arg(ConnectionOptions::Describe(settings)));
        return failure;
    }
    return 0;
}

bool StarterLink::IdentifyAndSelect() { return files::IdentifyAndSelect(m_access, true); }

bool PrepareCatalogue(QString& error)
{
    param::SELECTION = {};
    const std::string defect = param::BuildCatalogue(true);
    error = QString::fromStdString(defect);
    return defect.empty();
}

std::optional<int> ParseDeviceArguments(QCommandLineParser& parser, const QStringList& args, CliPrompts& prompts)
{
    if (!parser.parse(args)) {
        prompts.Print(parser.errorText());
        return 2;
    }
    if (parser.isSet("help")) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        prompts.Print(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}

}  // namespace rv8::cli
