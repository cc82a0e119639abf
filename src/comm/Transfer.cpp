#include "Transfer.h"

#include "AccessCodes.h"
#include "NuvWait.h"

#include <QCoreApplication>

#include <cmath>

namespace rv8::comm {

using param::Fixed;
using param::PRM_REC;
using param::PrmTable;

namespace {

bool IsGroupLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSubGroupDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The edit types whose values are checked against their limits when option L27 is set.
bool IsCheckedNumericType(int t)
{
    return t == 0 || (t >= 10 && t <= 13) || (t >= 23 && t <= 25) || t == 30;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace

int ProgressBarPosition(uint16_t bar, uint16_t maximum)
{
    if (maximum == 0)
        return -1;
    return static_cast<int>(param::RoundTiesEven(static_cast<double>(bar) / maximum * 100.0));
}

std::vector<TransferBlock> CutIntoBlocks(const std::vector<uint16_t>& addresses)
{
    std::vector<TransferBlock> blocks;
    const int n = static_cast<int>(addresses.size());
    int i = 0;
    while (i < n) {
        TransferBlock b{i, 1};
        while (i + b.count < n && b.count < kMaxBlockRegisters
               && addresses[static_cast<std::size_t>(i + b.count)] == addresses[static_cast<std::size_t>(i)] + b.count)
            ++b.count;
        blocks.push_back(b);
        i += b.count;
    }
    return blocks;
}

QString PrmGroupText(const PRM_REC& rec)
{
    return QString::asprintf("%c%c-%.3d", rec.Menu, rec.Menu_Sub, static_cast<int>(rec.Num));
}

QString ReceivedValueProblem(const PrmTable& table, int number, int column, bool checkLimits,
                             const param::TSelectionState& selection)
{
    if (!table.Exists(number))
        return {};
    const PRM_REC& rec = table[number];
    const Fixed v = param::GetPrmValue(table, number, param::vcDrive);
    if (param::IsListEditType(rec.EDIT_TYPE)) {
        const int item = param::ListIndexOfValue(table, number, v);
        if (item < 0)
            return QString::asprintf("Unknown parameter setting (%lld)", static_cast<long long>(v.Trunc()));
        const int mode = param::ModeColumnOf(column, selection);
        const bool enabled = mode >= 0 && mode < param::kModeColumns
                             && rec.ValueSTR.ENABLE_A[static_cast<std::size_t>(item)][static_cast<std::size_t>(mode)];
        return enabled ? QString() : transfer_text::kSettingDisabled;
    }
    if (checkLimits && IsCheckedNumericType(rec.EDIT_TYPE)) {
        if (param::HasOffValueType(rec.EDIT_TYPE) && v == rec.DisabledValue)
            return {};
        if (v < param::GetPrmMinimum(table, number, column) || v > param::GetPrmMaximum(table, number, column))
            return transfer_text::kOutOfRange;
    }
    return {};
}

TParameterTransfer::TParameterTransfer(DeviceContext context) : m_ctx(std::move(context)) {}

param::TSignalScope TParameterTransfer::SignalScope() const
{
    return {*m_ctx.Signals, *m_ctx.Parameters, *m_ctx.Scaling, *m_ctx.Selection};
}

void TParameterTransfer::ShowProgress(uint16_t maximum, const QString& info)
{
    if (!m_progress)
        return;
    m_progress->SetStatusMinMax(maximum);
    m_progress->SetBar(0);
    m_progress->SetInfo(info);
    m_progress->ShowProgress();
}

void TParameterTransfer::HideProgress()
{
    if (m_progress)
        m_progress->HideProgress();
}

void TParameterTransfer::SetBar(int k)
{
    if (m_progress)
        m_progress->SetBar(static_cast<uint16_t>(k));
}

// ---- Dependency-indexed access ---------------------------------------------------------------

bool TParameterTransfer::RoleRecords(int dependencyIndex, PrmTable*& table, int& number, int& count) const
{
    if (param::IsSignalRole(dependencyIndex))
        table = m_ctx.Signals;
    else if (param::IsParameterRole(dependencyIndex))
        table = m_ctx.Parameters;
    else
        return false;
    number = table->DEPENDENCY_MAP[dependencyIndex];
    if (!table->Exists(number))
        return false;
    count = 1;
    while (table->Exists(number + count) && (*table)[number + count].IsContinuation)
        ++count;
    return count <= kMaxBlockRegisters;
}

bool TParameterTransfer::ReadDependencyValue(uint8_t node, int dependencyIndex, TNuvModbus_Options options,
                                             const bool* cancel, Fixed& value)
{
    PrmTable* table = nullptr;
    int number = 0;
    int count = 0;
    if (!RoleRecords(dependencyIndex, table, number, count))
        return false;
    std::vector<uint16_t> words(static_cast<std::size_t>(count));
    if (!m_ctx.Session->ReadHoldingRegisters(node, (*table)[number].PRMADDR, words, options, cancel))
        return false;
    if (table == m_ctx.Signals) {
        const param::TSignalScope scope = SignalScope();
        for (int k = 0; k < count; ++k)
            param::RegisterToSignalValue(scope, number + k, words[static_cast<std::size_t>(k)]);
        value = param::GetSignalValue(scope, number, false);
    } else {
        for (int k = 0; k < count; ++k)
            param::RegisterToPrmValue(*table, number + k, param::vcDrive, words[static_cast<std::size_t>(k)],
                                      *m_ctx.Selection);
        value = param::GetPrmValue(*table, number, param::vcDrive);
    }
    return true;
}

bool TParameterTransfer::WriteDependencyValue(uint8_t node, int dependencyIndex, Fixed value,
                                              TNuvModbus_Options options, const bool* cancel)
{
    if (!UnlockWriteAccess())
        return false;
    PrmTable* table = nullptr;
    int number = 0;
    int count = 0;
    if (!RoleRecords(dependencyIndex, table, number, count))
        return false;
    std::vector<uint16_t> words(static_cast<std::size_t>(count));
    if (table == m_ctx.Signals) {
        // A signal's value is its live value; its register figure is the value times the divisor.
        PRM_REC& rec = (*table)[number];
        rec.Value_Index[param::vcDrive] = value;
        const Fixed divisor = param::GetSignalDivisor(SignalScope(), number);
        words[0] = static_cast<uint16_t>((value * divisor).Round() & 0xFFFF);
        for (int k = 1; k < count; ++k)
            words[static_cast<std::size_t>(k)] = static_cast<uint16_t>(
                ((*table)[number + k].Value_Index[param::vcDrive] * (*table)[number + k].Range_Step.Divisor).Round()
                & 0xFFFF);
    } else {
        param::SetPrmValue(*table, number, param::vcDrive, false, value, *m_ctx.Selection);
        for (int k = 0; k < count; ++k)
            words[static_cast<std::size_t>(k)] = param::PrmValueToRegister(*table, number + k, param::vcDrive);
    }
    return m_ctx.Session->WriteMultipleRegisters(node, (*table)[number].PRMADDR, words, options, cancel);
}

bool TParameterTransfer::UnlockWriteAccess()
{
    if (m_unlocking)
        return true;
    m_unlocking = true;
    const bool ok = WriteDependencyValue(m_ctx.Node(), param::deiFactoryPassword, Fixed::FromInt(kWriteAccessCode),
                                         {bmoAllowIgnoreError}, nullptr);
    m_unlocking = false;
    return ok;
}

bool TParameterTransfer::ReadStarterRunning(bool& running)
{
    Fixed value;
    if (!ReadDependencyValue(m_ctx.Node(), param::deiStarterStates, {}, nullptr, value))
        return false;
    running = value > Fixed();
    return true;
}

// ---- Transmission ------------------------------------------------------------------------------

bool TParameterTransfer::BlockWrite(uint16_t firstRegister, const std::vector<uint16_t>& words)
{
    if (!UnlockWriteAccess())
        return false;
    bool ignored = false;
    return m_ctx.Session->WriteMultipleRegisters(m_ctx.Node(), firstRegister, words, ignored, {bmoAllowIgnoreError},
                                                 &m_abort)
           || ignored;
}

bool TParameterTransfer::AfterBlockWrite(bool ok)
{
    if (!m_ctx.Shell().IsOnline) {
        HideProgress();
        QCoreApplication::processEvents();
        m_ctx.Prompts->information({}, transfer_text::kCommunicationLost);
        return false;
    }
    if (!ok) {
        HideProgress();
        return false;
    }
    return true;
}

bool TParameterTransfer::TransmitRange(PrmTable& table, int first, int last, int column, bool excludeKvaTotal,
                                       bool excludeKvaVoltage, bool noConfirmation)
{
    if (!table.Exists(first) || !table.Exists(last) || first > last)
        return false;
    if (!noConfirmation && m_ctx.Options->L2
        && !m_ctx.Prompts->questionYesCancel({}, transfer_text::kChangeValues, PromptKind::Warning))
        return false;
    bool running = false;
    if (!ReadStarterRunning(running))
        return false;

    std::vector<int> list;
    for (int n = first; n <= last; ++n) {
        const PRM_REC& rec = table[n];
        if (!param::IsPrmAvailable(table, n, column, 1, *m_ctx.Selection) || rec.MONITOR_ONLY)
            continue;
        if (!IsGroupLetter(rec.Menu) || !IsSubGroupDigit(rec.Menu_Sub))
            continue;
        if (running && !rec.RUNNING)
            continue;
        if ((excludeKvaTotal && rec.KVA_TOTAL) || (excludeKvaVoltage && rec.KVA_VOLTAGE))
            continue;
        if (static_cast<int>(list.size()) >= table.Count()) {
            m_ctx.beep();
            m_ctx.Prompts->warning({}, transfer_text::kListLimit + PrmGroupText(rec));
            return false;
        }
        list.push_back(n);
    }
    if (list.empty()) {
        if (ReportEmptySelection) {
            m_ctx.beep();
            m_ctx.Prompts->warning({}, running ? transfer_text::kPageEmptyRunning : transfer_text::kPageEmpty);
        }
        return true;
    }

    ShowProgress(static_cast<uint16_t>(list.size()), transfer_text::kTransmitting);
    std::vector<uint16_t> addresses;
    for (int n : list)
        addresses.push_back(table[n].PRMADDR);
    for (const TransferBlock& b : CutIntoBlocks(addresses)) {
        std::vector<uint16_t> words;
        for (int k = b.first; k < b.first + b.count; ++k)
            words.push_back(param::PrmValueToRegister(table, list[static_cast<std::size_t>(k)], column));
        const bool ok = BlockWrite(addresses[static_cast<std::size_t>(b.first)], words);
        if (!AfterBlockWrite(ok))
            return false;
        SetBar(b.first + b.count);
    }
    CancellableWait(m_finalWait);
    HideProgress();
    return true;
}

bool TParameterTransfer::TransmitAll(PrmTable& table, int column, int variant)
{
    ReportEmptySelection = false;
    m_abort = false;
    bool result = false;
    bool running = false;
    if (ReadStarterRunning(running)
        && (!running
            || m_ctx.Prompts->questionYesNo({}, transfer_text::kMotorRunningProceed, PromptKind::Confirmation))) {
        const bool kvaTotal = variant == 4;
        const bool kvaVoltage = variant == 5;
        const int ct = table.DEPENDENCY_MAP[param::deiCtValue];
        result = TransmitRange(table, ct, ct, column, kvaTotal, kvaVoltage, false);
        for (int role : {param::deiFrameRating, param::deiNumberOfTurnsThroughCt, param::deiServiceFactor,
                         param::deiTemperatureUnits}) {
            const int n = table.DEPENDENCY_MAP[role];
            if (result && table.Exists(n))
                result = TransmitRange(table, n, n, column, kvaTotal, kvaVoltage, true);
        }
        if (result)
            result = TransmitRange(table, 1, table.Count(), column, kvaTotal, kvaVoltage, true);
    }
    HideProgress();
    ReportEmptySelection = true;
    return result;
}

bool TParameterTransfer::TransmitSingle(PrmTable& table, int number, int column)
{
    if (!table.Exists(number))
        return false;
    if (m_ctx.Options->L2
        && !m_ctx.Prompts->questionYesCancel({}, transfer_text::kChangeValue, PromptKind::Warning))
        return false;
    bool running = false;
    if (!ReadStarterRunning(running))
        return false;

    // The parameter and its continuation records, each when it may go out now. The block is
    // written from the first taken record's address, so only a contiguous run is taken.
    std::vector<uint16_t> words;
    uint16_t firstAddress = 0;
    for (int n = number; table.Exists(n) && (n == number || table[n].IsContinuation); ++n) {
        const PRM_REC& rec = table[n];
        if (!param::IsPrmAvailable(table, n, column, 1, *m_ctx.Selection) || rec.MONITOR_ONLY)
            continue;
        if (running && !rec.RUNNING)
            continue;
        if (words.empty())
            firstAddress = rec.PRMADDR;
        else if (rec.PRMADDR != firstAddress + words.size())
            break;
        words.push_back(param::PrmValueToRegister(table, n, column));
    }
    if (words.empty()) {
        if (ReportEmptySelection) {
            m_ctx.beep();
            m_ctx.Prompts->warning({}, running ? transfer_text::kParameterRunning : transfer_text::kParameterInactive);
        }
        return true;
    }
    ShowProgress(static_cast<uint16_t>(words.size()), transfer_text::kTransmitting);
    const bool ok = BlockWrite(firstAddress, words);
    if (!AfterBlockWrite(ok))
        return false;
    SetBar(static_cast<int>(words.size()));
    CancellableWait(m_finalWait);
    HideProgress();
    return true;
}

// ---- Reception ---------------------------------------------------------------------------------

bool TParameterTransfer::ReceiveRange(PrmTable& table, int first, int last, int column, int messageMode)
{
    if (!table.Exists(first) || !table.Exists(last) || first > last)
        return false;
    std::vector<int> list;
    for (int n = first; n <= last; ++n) {
        const PRM_REC& rec = table[n];
        if (!param::IsPrmAvailable(table, n, column, 0, *m_ctx.Selection))
            continue;
        if (!IsGroupLetter(rec.Menu) || !IsSubGroupDigit(rec.Menu_Sub))
            continue;
        if (static_cast<int>(list.size()) >= table.Count()) {
            if (messageMode == 2)
                m_ctx.Prompts->warning({}, transfer_text::kListLimit + PrmGroupText(rec));
            return false;
        }
        list.push_back(n);
    }
    if (list.empty()) {
        if (ReportEmptySelection && messageMode == 2)
            m_ctx.Prompts->warning({}, transfer_text::kPageEmpty);
        return true;
    }

    const bool window = messageMode >= 1;
    if (window)
        ShowProgress(static_cast<uint16_t>(list.size()), transfer_text::kReceiving);
    std::vector<uint16_t> addresses;
    for (int n : list)
        addresses.push_back(table[n].PRMADDR);
    for (const TransferBlock& b : CutIntoBlocks(addresses)) {
        if (m_abort) {
            HideProgress();
            return false;
        }
        std::vector<uint16_t> words(static_cast<std::size_t>(b.count));
        bool ignored = false;
        const bool ok = m_ctx.Session->ReadHoldingRegisters(m_ctx.Node(), addresses[static_cast<std::size_t>(b.first)],
                                                            words, ignored, {bmoAllowIgnoreError}, &m_abort);
        if (ok) {
            for (int k = 0; k < b.count; ++k)
                param::RegisterToPrmValue(table, list[static_cast<std::size_t>(b.first + k)], param::vcDrive,
                                          words[static_cast<std::size_t>(k)], *m_ctx.Selection);
            // Checked once the whole block is stored, so a multi-register value is complete.
            for (int k = 0; k < b.count; ++k) {
                const int n = list[static_cast<std::size_t>(b.first + k)];
                if (table[n].IsContinuation)
                    continue;
                const QString reason = ReceivedValueProblem(table, n, column, m_ctx.Options->L27, *m_ctx.Selection);
                if (!reason.isEmpty() && messageMode == 2)
                    m_ctx.Prompts->warning({}, QStringLiteral("%1 for %2\rParameter skipped.")
                                                   .arg(reason, Q(table[n].Title)));
            }
            if (window)
                SetBar(b.first + b.count);
        } else if (!m_ctx.Shell().IsOnline) {
            HideProgress();
            QCoreApplication::processEvents();
            if (messageMode == 2)
                m_ctx.Prompts->information({}, transfer_text::kCommunicationLost);
            m_abort = true;
        } else if (!ignored) {
            HideProgress();
            m_abort = true;
            return false;
        }
    }
    CancellableWait(m_finalWait);
    HideProgress();
    // A connection lost on the last block must not read as a complete receive.
    return !m_abort;
}

bool TParameterTransfer::ReceiveAll(PrmTable& table, int column)
{
    ReportEmptySelection = false;
    m_abort = false;
    const bool result = table.Count() > 0 && ReceiveRange(table, 1, table.Count(), column, 2);
    ReportEmptySelection = true;
    HideProgress();
    return result;
}

}  // namespace rv8::comm
