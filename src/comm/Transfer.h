#pragma once
// Parameter transfer between the parameter table and the starter: receive every parameter into
// the starter-value column, transmit every parameter (or those that may change while the motor
// runs) from a working column, transmit one parameter with its continuation records, and the
// dependency-indexed access to single catalogue entries that the device commands use.
//
// Consecutive register addresses travel in blocks of at most 18 registers. Every block write is
// preceded by the write-access unlock. All traffic goes through the session to NodeAddress; the
// user is asked through UserPrompts and progress goes to an ITransferProgress (the "Data
// Transfer" window, or nothing when headless). One thread: the waits process events, so the
// progress window's "&Abort" takes effect through AbortFlag() during a transfer.
//
// Taking the received values over as working values is param::AdoptReceivedValues
// (param/AdoptValues.h); the transfer itself only fills the starter column (vcDrive).

#include "NuvModbusTypes.h"
#include "ProgramOptions.h"
#include "Serial.h"
#include "ShellState.h"
#include "UserPrompts.h"
#include "param/Catalogue.h"
#include "param/Signals.h"
#include "param/VarDrive.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace rv8::comm {

// Most registers one block request carries.
inline constexpr int kMaxBlockRegisters = 18;

// The display of a running transfer: the "Data Transfer" window implements it.
class ITransferProgress {
public:
    virtual ~ITransferProgress() = default;
    virtual void SetStatusMinMax(uint16_t Max1) = 0;
    // Position := Round(Bar1 / maximum x 100); nothing while the maximum is 0.
    virtual void SetBar(uint16_t Bar1) = 0;
    virtual void SetInfo(const QString& Inf) = 0;
    // Show: visible and in front (clears HiddenByProgram). Hide: invisible (sets it).
    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
};

// The bar position SetBar shows: Round(bar / maximum x 100), ties to even; -1 for maximum 0.
int ProgressBarPosition(uint16_t bar, uint16_t maximum);

// Everything the device flows work with. Session, prompts and options are required; the tables
// and the selection default to the program-wide ones.
struct DeviceContext {
    TSerialSetup* Session = nullptr;
    UserPrompts* Prompts = nullptr;
    const ProgramOptions* Options = nullptr;
    param::PrmTable* Parameters = &param::PRM_TABLE;
    param::PrmTable* Signals = &param::SIGNAL_TABLE;
    param::TScalingContext* Scaling = &param::SCALING_CONTEXT;
    param::TSelectionState* Selection = &param::SELECTION;
    const param::TSpecialAddresses* SpecialAddresses = &param::SPECIAL_ADDRESSES;
    // The system beep before some warnings (the windows set it; headless: nothing).
    std::function<void()> Beep;

    ShellState& Shell() const { return Session->Shell(); }
    uint8_t Node() const { return static_cast<uint8_t>(Session->Shell().NodeAddress); }
    void beep() const
    {
        if (Beep)
            Beep();
    }
};

// Messages of the transfer.
namespace transfer_text {
inline const QString kChangeValues = QStringLiteral("Change RV8 parameter values?");
inline const QString kChangeValue = QStringLiteral("Change RV8 parameter value?");
inline const QString kMotorRunningProceed =
    QStringLiteral("Motor is running, proceed transmitting only enabled parameters?");
inline const QString kListLimit = QStringLiteral("Parameter list limit exceeded at no: ");
inline const QString kPageEmpty = QStringLiteral("This page contains no active parameters.");
inline const QString kPageEmptyRunning =
    QStringLiteral("This group/page contains no active parameters that can be changed during running.");
inline const QString kParameterInactive = QStringLiteral("This parameter is currently not active.");
inline const QString kParameterRunning = QStringLiteral("This parameter cannot be changed during running.");
inline const QString kTransmitting = QStringLiteral("Transferring data to the RV8");
inline const QString kReceiving = QStringLiteral("Receiving data from the RV8");
inline const QString kCommunicationLost = QStringLiteral("Communication has been lost.");
inline const QString kOutOfRange = QStringLiteral("Parameter setting out of range");
inline const QString kSettingDisabled = QStringLiteral("Parameter setting disabled");
inline const QString kAbortQuestion = QStringLiteral("Abort Data Transfer?");
inline const QString kAborted = QStringLiteral("Data Transfer Aborted");
}  // namespace transfer_text

// A run of list entries sent or read as one request.
struct TransferBlock {
    int first = 0;  // index into the list
    int count = 0;  // entries (= registers)
};
// Cuts a list of register addresses into blocks: an entry joins the block when its address is
// the block's first address plus the block's length, and a block holds at most 18 registers.
std::vector<TransferBlock> CutIntoBlocks(const std::vector<uint16_t>& addresses);

// The group text of a parameter for the list-limit message: letter, sub-group, "-", number
// with three digits ("A1-007").
QString PrmGroupText(const param::PRM_REC& rec);

// The reason a received value is reported, empty when it passes. checkLimits is option L27.
QString ReceivedValueProblem(const param::PrmTable& table, int number, int column, bool checkLimits,
                             const param::TSelectionState& selection);

class TParameterTransfer {
public:
    explicit TParameterTransfer(DeviceContext context);

    // The progress display (null: none). Not owned.
    void SetProgress(ITransferProgress* progress) { m_progress = progress; }
    ITransferProgress* Progress() const { return m_progress; }

    // Set by the progress window's "&Abort", its close, "Yes" to "Abort Data Transfer?", and by
    // a receive that lost the connection. Passed as the cancel flag of every block request.
    bool& AbortFlag() { return m_abort; }
    const bool* AbortFlagPointer() const { return &m_abort; }
    // Normally true; transmit-all and receive-all clear it while they run.
    bool ReportEmptySelection = true;

    // The wait after the last block (250 ms); tests shorten it.
    void SetFinalWait(uint32_t milliseconds) { m_finalWait = milliseconds; }

    bool ReceiveAll(param::PrmTable& table, int column);
    // variant 0: everything; 4: leave out KVA_TOTAL parameters; 5: leave out KVA_VOLTAGE ones.
    bool TransmitAll(param::PrmTable& table, int column, int variant);
    // The caller clears AbortFlag() first.
    bool TransmitSingle(param::PrmTable& table, int number, int column);

    // The motor state (deiStarterStates above 0). False when it could not be read.
    bool ReadStarterRunning(bool& running);
    // Dependency-indexed access: roles 1..29 name signals, 30..86 parameters. False for any
    // other role, a role the catalogue does not fill, more than 18 records, or a failed request.
    bool ReadDependencyValue(uint8_t node, int dependencyIndex, TNuvModbus_Options options, const bool* cancel,
                             param::Fixed& value);
    bool WriteDependencyValue(uint8_t node, int dependencyIndex, param::Fixed value, TNuvModbus_Options options,
                              const bool* cancel);
    // Writes the write-access code to the factory-password parameter. A call made while an
    // unlock is in progress (the unlock's own write) returns true at once.
    bool UnlockWriteAccess();

    const DeviceContext& Context() const { return m_ctx; }

    // The engines, public for the group editor's page transfers.
    bool TransmitRange(param::PrmTable& table, int first, int last, int column, bool excludeKvaTotal,
                       bool excludeKvaVoltage, bool noConfirmation);
    // messageMode 0: neither window nor messages; 1: window only; 2: both.
    bool ReceiveRange(param::PrmTable& table, int first, int last, int column, int messageMode);

private:
    bool BlockWrite(uint16_t firstRegister, const std::vector<uint16_t>& words);
    void ShowProgress(uint16_t maximum, const QString& info);
    void HideProgress();
    void SetBar(int k);
    // Records of the entry playing the role (the entry and its continuation records).
    bool RoleRecords(int dependencyIndex, param::PrmTable*& table, int& number, int& count) const;
    param::TSignalScope SignalScope() const;
    bool AfterBlockWrite(bool ok);

    DeviceContext m_ctx;
    ITransferProgress* m_progress = nullptr;
    bool m_abort = false;
    bool m_unlocking = false;
    uint32_t m_finalWait = 250;
};

}  // namespace rv8::comm
