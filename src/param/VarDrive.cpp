#include "param/VarDrive.h"

namespace rv8::param {

TModifiedFlags MODIFIED_FLAGS;
PrmTable PRM_TABLE(kMaxParameters);
PrmTable SIGNAL_TABLE(kMaxSignals);
TSelectionState SELECTION;

namespace {

class SilentWarningSink : public IWarningSink {
public:
  void ShowWarning(const std::string&) override {}
};

SilentWarningSink g_silentSink;
IWarningSink* g_warningSink = &g_silentSink;

}  // namespace

IWarningSink& WarningSink() { return *g_warningSink; }

IWarningSink* SetWarningSink(IWarningSink* sink) {
  IWarningSink* previous = g_warningSink == &g_silentSink ? nullptr : g_warningSink;
  g_warningSink = sink ? sink : &g_silentSink;
  return previous;
}

// ---------------------------------------------------------------------------------------------
// DESC_REC

void DESC_REC::Clear() {
  for (int i = 0; i < kListSlots; ++i) {
    auto s = static_cast<std::size_t>(i);
    STRARRAY[s].clear();
    ENABLE_A[s].fill(false);
    TRVALUE[s] = 0;
    Ext[s].clear();
    Units[s] = 0;
  }
  TOTAL = 0;
}

bool DESC_REC::Add(const std::string& text, std::uint16_t value) {
  if (TOTAL < 0 || TOTAL >= kListSlots) return false;
  auto s = static_cast<std::size_t>(TOTAL);
  STRARRAY[s] = text;
  ENABLE_A[s] = {true, true, true, true, false};
  TRVALUE[s] = value;
  Ext[s].clear();
  Units[s] = 0;
  ++TOTAL;
  return true;
}

// ---------------------------------------------------------------------------------------------
// PrmTable

PrmTable::PrmTable(int capacity) : m_capacity(capacity < 0 ? 0 : capacity) {
  m_records.reserve(static_cast<std::size_t>(m_capacity));
}

PRM_REC* PrmTable::Append() {
  if (Count() >= m_capacity) return nullptr;
  m_records.emplace_back();
  PRM_REC& r = m_records.back();
  r.Index = Count();
  r.Num = static_cast<std::uint16_t>(r.Index);
  r.PRMNUM = r.Num;
  return &r;
}

void PrmTable::Truncate(int count) {
  if (count >= 0 && count < Count()) m_records.resize(static_cast<std::size_t>(count));
}

}  // namespace rv8::param
