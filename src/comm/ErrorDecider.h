#pragma once
// The "Error Detected" decision: what the user wants done with a failed Modbus request. The
// session asks it for every error that reaches its error hook (unless option L22 answers
// first). The windows implement it with the modal error dialog (app/ErrForm.h); tests and the
// command line use ScriptedErrorDecider.

#include "NuvModbusTypes.h"

#include <QString>

#include <deque>
#include <vector>

namespace rv8::comm {

class ErrorDecider {
public:
    virtual ~ErrorDecider() = default;
    // Shows `Text` and returns meaRetry, meaIgnore or meaAbort. meaIgnore only when AllowIgnore
    // is true; dismissing the question without a choice is meaAbort.
    virtual TNuvModbus_ErrorEventAction Decide(const QString& Text, bool AllowIgnore) = 0;
};

// Answers from a queue, then with a fixed answer (meaAbort unless told otherwise: what the
// command line does). A queued or fixed meaIgnore given where ignoring is not allowed becomes
// meaAbort, as the dialog's disabled button would. Every question is recorded.
class ScriptedErrorDecider final : public ErrorDecider {
public:
    struct Record {
        QString text;
        bool allowIgnore;
        TNuvModbus_ErrorEventAction answer;
    };

    explicit ScriptedErrorDecider(TNuvModbus_ErrorEventAction fixed = meaAbort) : m_fixed(fixed) {}

    ScriptedErrorDecider& then(TNuvModbus_ErrorEventAction answer)
    {
        m_script.push_back(answer);
        return *this;
    }
    void setFixed(TNuvModbus_ErrorEventAction answer) { m_fixed = answer; }

    TNuvModbus_ErrorEventAction Decide(const QString& Text, bool AllowIgnore) override
    {
        TNuvModbus_ErrorEventAction answer = m_fixed;
        if (!m_script.empty()) {
            answer = m_script.front();
            m_script.pop_front();
        }
        if (answer == meaIgnore && !AllowIgnore)
            answer = meaAbort;
        m_asked.push_back({Text, AllowIgnore, answer});
        return answer;
    }

    const std::vector<Record>& asked() const { return m_asked; }
    void clearAsked() { m_asked.clear(); }
    std::size_t pending() const { return m_script.size(); }

private:
    TNuvModbus_ErrorEventAction m_fixed;
    std::deque<TNuvModbus_ErrorEventAction> m_script;
    std::vector<Record> m_asked;
};

}  // namespace rv8::comm
