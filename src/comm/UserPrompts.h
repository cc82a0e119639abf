#pragma once
// The one way the program's flows talk to the user: modal messages and questions with fixed
// buttons. Flows never open a window themselves; they are handed a UserPrompts. The windows pass
// a message-box implementation (app/WidgetPrompts.h), tests and the command line pass
// ScriptedPrompts (below), which answers from a queue or a fixed policy and records every prompt.
//
// Implementations provide one operation, ask(); the named helpers below build the prompt and
// interpret the answer, so call sites read like the messages they show:
//
//     if (!prompts.questionYesNo({}, QStringLiteral("Proceed anyway?"), PromptKind::Warning))
//         return false;
//     prompts.information({}, QStringLiteral("Uncheck the welcome screen option ..."));

#include <QString>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace rv8::comm {

// The icon and tone of a prompt.
enum class PromptKind { Information, Warning, Error, Confirmation };

// The buttons a prompt offers.
enum class PromptButtons { Ok, OkCancel, YesNo, YesCancel, YesNoCancel };

// The button the user chose.
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct Prompt {
    PromptKind kind = PromptKind::Information;
    PromptButtons buttons = PromptButtons::Ok;
    QString title;  // empty: the implementation's caption for the kind ("Warning", ...)
    QString text;
};

// Whether `answer` is one of the buttons of `buttons`.
constexpr bool Offers(PromptButtons buttons, PromptAnswer answer)
{
    switch (buttons) {
    case PromptButtons::Ok: return answer == PromptAnswer::Ok;
    case PromptButtons::OkCancel: return answer == PromptAnswer::Ok || answer == PromptAnswer::Cancel;
    case PromptButtons::YesNo: return answer == PromptAnswer::Yes || answer == PromptAnswer::No;
    case PromptButtons::YesCancel: return answer == PromptAnswer::Yes || answer == PromptAnswer::Cancel;
    case PromptButtons::YesNoCancel: return answer != PromptAnswer::Ok;
    }
    return false;
}

// The answer a prompt gets when it is dismissed without a choice (Esc, closing the window):
// Cancel where offered, else No, else Ok.
constexpr PromptAnswer DismissAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesCancel:
    case PromptButtons::YesNoCancel: return PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}

// The affirmative button of a prompt: Yes where offered, else Ok.
constexpr PromptAnswer AffirmAnswer(PromptButtons buttons)
{
    return Offers(buttons, PromptAnswer::Yes) ? PromptAnswer::Yes : PromptAnswer::Ok;
}

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // Shows the prompt modally and returns the chosen button, always one of prompt.buttons.
    // Dismissing it without a choice answers DismissAnswer(prompt.buttons).
    virtual PromptAnswer ask(const Prompt& prompt) = 0;

    // Messages with a single OK button.
    void information(const QString& title, const QString& text) { message(PromptKind::Information, title, text); }
    void warning(const QString& title, const QString& text) { message(PromptKind::Warning, title, text); }
    void error(const QString& title, const QString& text) { message(PromptKind::Error, title, text); }

    // Yes/No: true for Yes.
    bool questionYesNo(const QString& title, const QString& text, PromptKind kind = PromptKind::Confirmation)
    {
        return ask({kind, PromptButtons::YesNo, title, text}) == PromptAnswer::Yes;
    }
    // Yes/Cancel: true for Yes.
    bool questionYesCancel(const QString& title, const QString& text, PromptKind kind = PromptKind::Confirmation)
    {
        return ask({kind, PromptButtons::YesCancel, title, text}) == PromptAnswer::Yes;
    }
    // OK/Cancel: true for OK.
    bool questionOkCancel(const QString& title, const QString& text, PromptKind kind = PromptKind::Confirmation)
    {
        return ask({kind, PromptButtons::OkCancel, title, text}) == PromptAnswer::Ok;
    }
    // Yes/No/Cancel: PromptAnswer::Yes, No or Cancel.
    PromptAnswer questionYesNoCancel(const QString& title, const QString& text,
                                     PromptKind kind = PromptKind::Confirmation)
    {
        return ask({kind, PromptButtons::YesNoCancel, title, text});
    }

private:
    void message(PromptKind kind, const QString& title, const QString& text)
    {
        ask({kind, PromptButtons::Ok, title, text});
    }
};

// Answers prompts without a window: for tests and for the command line.
//
// Questions (prompts with more than one button) take the next scripted answer from the queue;
// when the queue is empty they get the policy's answer. Messages with only an OK button never
// consume a scripted answer. A scripted answer that the prompt does not offer is a script error:
// it is consumed, counted in scriptErrors(), and the policy's answer is given instead, so a
// test sees the mismatch rather than a silently different flow.
//
// Every prompt is recorded with its answer; onAsked (optional) sees each one as it happens, e.g.
// to print messages on the terminal.
class ScriptedPrompts final : public UserPrompts {
public:
    // What unscripted questions get: the affirmative button (Yes/OK, like a `--yes` flag) or the
    // dismiss answer (Cancel/No, like a user who closes every question).
    enum class Policy { Affirm, Dismiss };

    struct Record {
        Prompt prompt;
        PromptAnswer answer;
    };

    explicit ScriptedPrompts(Policy policy = Policy::Dismiss) : m_policy(policy) {}

    // Queues answers for the coming questions, in order.
    ScriptedPrompts& then(PromptAnswer answer)
    {
        m_script.push_back(answer);
        return *this;
    }
    void setPolicy(Policy policy) { m_policy = policy; }

    PromptAnswer ask(const Prompt& prompt) override
    {
        PromptAnswer answer = policyAnswer(prompt.buttons);
        if (prompt.buttons != PromptButtons::Ok && !m_script.empty()) {
            const PromptAnswer scripted = m_script.front();
            m_script.pop_front();
            if (Offers(prompt.buttons, scripted))
                answer = scripted;
            else
                ++m_scriptErrors;
        }
        m_asked.push_back({prompt, answer});
        if (onAsked)
            onAsked(prompt, answer);
        return answer;
    }

    const std::vector<Record>& asked() const { return m_asked; }
    void clearAsked() { m_asked.clear(); }
    // Scripted answers not yet used.
    std::size_t pending() const { return m_script.size(); }
    // Scripted answers that did not fit the prompt they were given to.
    int scriptErrors() const { return m_scriptErrors; }

    std::function<void(const Prompt&, PromptAnswer)> onAsked;

private:
    PromptAnswer policyAnswer(PromptButtons buttons) const
    {
        return m_policy == Policy::Affirm ? AffirmAnswer(buttons) : DismissAnswer(buttons);
    }

    Policy m_policy;
    std::deque<PromptAnswer> m_script;
    std::vector<Record> m_asked;
    int m_scriptErrors = 0;
};

}  // namespace rv8::comm
