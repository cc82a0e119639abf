#pragma once
// The built-in parameter catalogue: the builder operations that turn each definition into a
// PRM_REC (with the definition checks that guard the built-in table), the list texts, the
// group titles, the special register addresses, and the Motor FLA rule.
//
// A catalogue is built into a given table for a given selection, so that the simulated starter
// can keep a catalogue of its own model beside PRM_TABLE in the same process. A defect in a
// definition is returned as its message (naming the entry); the programs show it and stop.

#include "param/Models.h"
#include "param/VarDrive.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace rv8::param {

// The factory password: minimum and default of the Factory Password parameter (F072). The
// simulated starter and the write-access logic rely on this value (rv8::comm::kFactoryPassword
// must be the same number).
inline constexpr std::uint16_t kFactoryPasswordValue = 3871;

inline constexpr int kFirstParameterAddress = 1001;

// Register addresses the device commands and the status window use, filled by each build.
// 0xFFFF marks a slot no definition filled.
enum TSpecialAddressSlot : int {
  sasRevision = 0,       // firmware revision register
  sasFaultHistory = 1,   // first register of the fault history block
  sasRevision2 = 2,      // the revision register again
  sasMonth = 3,
  sasDay = 4,
  sasYear = 5,
  sasHour = 6,
  sasMinute = 7,
  sasSeconds = 8,
};
inline constexpr int kSpecialAddressCount = 9;
using TSpecialAddresses = std::array<std::uint16_t, kSpecialAddressCount>;

// Of the program-wide catalogue (PRM_TABLE).
extern TSpecialAddresses SPECIAL_ADDRESSES;

// Bits of the flags byte of the Add... operations.
enum TPrmFlag : std::uint8_t {
  pflAdvanced = 1,
  pflKvaVoltage = 2,
  pflMonitorOnly = 4,
  pflKvaTotal = 8,
  pflRunning = 16,
};

// One item of a list-text set; value kNextListValue means "the previous offered value plus 1".
inline constexpr int kNextListValue = -1;
struct TPrmListItem {
  std::string_view Text;
  int Value;
};
// The item texts of a list-text set, in order (empty for pliNone).
std::span<const TPrmListItem> PrmListTexts(TPrmListId id);

// "Motor Overload Information" for "A1"; compared without regard to case; "<->" for any other key.
std::string GroupTitle(std::string_view key);

// Builds parameter records into a table, one Add... step at a time, in catalogue order.
// After the first failed check every further step does nothing and Error() names the defect.
class CatalogueBuilder {
public:
  // firstBuild: the table is emptied and the records are created; otherwise the records that
  // exist are refilled (and forget the starter's values).
  CatalogueBuilder(PrmTable& table, bool firstBuild, TSpecialAddresses* specialAddresses = nullptr);

  void AddNumberPrm(char letter, std::string_view title, std::string_view units, Fixed defaultValue,
                    Fixed minimum, Fixed maximum, Fixed divisor, std::uint8_t flags,
                    const FLASHSET& applicationSet, const FLASHSET& firmwareSet);
  void AddListPrm(char letter, std::string_view title, std::string_view units, Fixed defaultValue,
                  Fixed minimum, Fixed maximum, Fixed divisor, TPrmListId listId, std::uint8_t flags,
                  const FLASHSET& applicationSet, const FLASHSET& firmwareSet);
  void AddOffPrm(char letter, std::string_view title, std::string_view units, Fixed defaultValue,
                 Fixed minimum, Fixed maximum, Fixed divisor, Fixed offValue, std::string_view offText,
                 std::uint8_t flags, const FLASHSET& applicationSet, const FLASHSET& firmwareSet);
  // Stepped parameters exist in every firmware version.
  void AddSteppedPrm(char letter, std::string_view title, std::string_view units, Fixed defaultValue,
                     Fixed minimum, Fixed maximum, Fixed divisor, Fixed stepSize, std::uint8_t flags,
                     const FLASHSET& applicationSet);
  // Consumes a register address without a record; -1 takes the next one, any other value
  // becomes the next address.
  void ReserveAddress(char letter, std::string_view name, int address);
  // Bit i of the mask stores the last consumed address in SPECIAL_ADDRESSES slot i.
  void MarkSpecialAddress(unsigned slotMask);
  // DEPENDENCY_MAP[role] = the last added record, for the parameter roles in the set.
  void MapDependency(std::initializer_list<TDependencyIndex> roles);

  // Ends the build: drops records a previous build left beyond this one's count.
  void Finish();

  bool Ok() const { return m_error.empty(); }
  const std::string& Error() const { return m_error; }
  int Count() const { return m_count; }
  int NextAddress() const { return m_nextAddress; }

private:
  PRM_REC* AddCommon(char letter, std::string_view title, std::string_view units, Fixed defaultValue,
                     Fixed minimum, Fixed maximum, Fixed divisor, std::uint8_t editType, std::uint8_t flags,
                     const FLASHSET& applicationSet, const FLASHSET& firmwareSet, Fixed stepSize,
                     Fixed offValue, std::string_view offText, TPrmListId listId);
  bool Fail(std::string message);

  PrmTable& m_table;
  bool m_firstBuild;
  TSpecialAddresses* m_special;
  int m_count = 0;
  int m_nextAddress = kFirstParameterAddress;
  int m_groupOrdinal = 0;
  char m_lastLetter = 0;
  std::string m_error;
};

// Runs the built-in catalogue (the 104 rows) for the selection into the table. Resets the
// parameter roles of the table's DEPENDENCY_MAP and the special addresses first. Returns the
// defect message, empty when the catalogue is sound.
std::string BuildParameterCatalogue(PrmTable& table, const TSelectionState& selection, bool firstBuild,
                                    TSpecialAddresses* specialAddresses = nullptr);

// Fills the list items of every list parameter from its list-text set, keeping the items whose
// value lies within the working column's range. Returns the defect message or "".
std::string BuildPrmLists(PrmTable& table, bool firstBuild);

// The complete rebuild for a selection: parameter catalogue, its lists, and the signal
// catalogue with its lists. Afterwards the DEPENDENCY_MAP of either table resolves every role
// (signal roles to `signalTable` numbers, parameter roles to `parameters` numbers). Returns the
// defect message or "".
std::string BuildCatalogue(PrmTable& parameters, PrmTable& signalTable, const TSelectionState& selection,
                           bool firstBuild, TSpecialAddresses* specialAddresses = nullptr);
// The same for the program: PRM_TABLE, SIGNAL_TABLE, SPECIAL_ADDRESSES and MONITOR_BLOCKS, for
// SELECTION. The scaling context is the monitor's to fill.
std::string BuildCatalogue(bool firstBuild);

// Recomputes the Motor FLA range from the Frame Rating and Service Factor values in the column,
// sets the FLA default to the new minimum and clamps the column's FLA value into the range
// (stored as a user change). Nothing changes when the service factor reads as 0.
void UpdateMotorFlaRange(PrmTable& table, int column, const TSelectionState& selection = SELECTION);
// The Motor FLA range for a frame rating and a service factor (as numbers: 1.15, not the list
// value): half the frame rating to the frame rating, divided by the service factor and rounded;
// 5 to 1500 A for the generic model. The service factor must not be 0.
FlaLimits MotorFlaRangeOf(Fixed frameRating, Fixed serviceFactor, std::int32_t modelCode);
inline void UpdateMotorFlaRange(int column) { UpdateMotorFlaRange(PRM_TABLE, column, SELECTION); }

}  // namespace rv8::param
