// The built-in parameter catalogue: record numbers and addresses, model- and firmware-dependent
// rows, list items, roles and special addresses, the Motor FLA rule, rebuilds, the definition
// checks, and the model and firmware tables.
#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"
#include "param/VarDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rv8::param {
namespace {

TSelectionState Selection(std::int32_t modelCode, int flashIndex)
{
  TSelectionState s;
  s.CurrentModelCode = modelCode;
  s.CurrentFlashIndex = flashIndex;
  s.CurrentFirmwareVersion = FLASH_TABLE()[static_cast<std::size_t>(flashIndex)].FlashNum;
  return s;
}

// Number of the record with the F-number, 0 when none.
int NumberOf(const PrmTable& table, const std::string& fno)
{
  for (int n = 1; n <= table.Count(); ++n)
    if (table[n].PARAMETER_ID == fno) return n;
  return 0;
}

class CatalogueTest : public ::testing::Test {
protected:
  void SetUp() override { ApplyNumberSettings(NUMBER_SETTINGS, ".", ",", ":"); }

  // Builds the catalogue and its lists for the selection into the test's own table.
  void Build(std::int32_t modelCode, int flashIndex, bool firstBuild = true)
  {
    selection = Selection(modelCode, flashIndex);
    ASSERT_EQ(BuildParameterCatalogue(table, selection, firstBuild, &special), "");
    ASSERT_EQ(BuildPrmLists(table, firstBuild), "");
  }
  Fixed Default(const std::string& fno) { return GetPrmValue(table, NumberOf(table, fno), vcDefault); }

  PrmTable table{kMaxParameters};
  TSelectionState selection;
  TSpecialAddresses special{};
};

TEST_F(CatalogueTest, RecordsRunF001ToF084ThenF094ToF113WithoutGaps)
{
  Build(150, 18);
  ASSERT_EQ(table.Count(), 104);
  for (int n = 1; n <= 104; ++n) {
    const int address = n <= 84 ? 1000 + n : 1009 + n;
    char fno[16];
    std::snprintf(fno, sizeof fno, "F%03d", address - 1000);
    SCOPED_TRACE(fno);
    EXPECT_EQ(table[n].PRMADDR, address);
    EXPECT_EQ(table[n].PARAMETER_ID, fno);
    EXPECT_EQ(table[n].SaveId, fno);
    EXPECT_EQ(table[n].Index, n);
    EXPECT_EQ(table[n].Num, n);
    EXPECT_EQ(table[n].Menu_Sub, '1');
  }
}

TEST_F(CatalogueTest, GroupsNumberedInCatalogueOrder)
{
  Build(150, 18);
  struct Row {
    const char* fno;
    char group;
    int ordinal;
  } rows[] = {{"F001", 'A', 1},  {"F009", 'A', 1},  {"F010", 'B', 2},  {"F029", 'C', 3},  {"F038", 'D', 4},
              {"F048", 'E', 5},  {"F051", 'F', 6},  {"F060", 'G', 7},  {"F064", 'H', 8},  {"F065", 'I', 9},
              {"F069", 'J', 10}, {"F075", 'K', 11}, {"F081", 'L', 12}, {"F094", 'M', 13}, {"F098", 'N', 14},
              {"F102", 'O', 15}, {"F108", 'P', 16}, {"F113", 'Q', 17}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fno);
    const PRM_REC& rec = table[NumberOf(table, r.fno)];
    EXPECT_EQ(rec.Menu, r.group);
    EXPECT_EQ(rec.intTreeMainIndex, r.ordinal);
  }
}

// Model-dependent rows: Motor FLA limits and default, Frame Rating and CT Value defaults.
TEST_F(CatalogueTest, ModelDependentRows)
{
  struct Row {
    std::int32_t code;
    double flaMin, flaMax, frame, ct;
  } rows[] = {
      {150, 75, 150, 150, 160},     // position 10
      {113, 75, 150, 150, 160},     // lowest code of position 10
      {0, 5, 1500, 10, 50},         // generic model
      {15, 9, 18, 18, 25},          // position 2
      {275, 138, 275, 275, 250},    // half of 275 rounds to even: 138
      {361, 180, 361, 361, 330},    // half of 361 rounds to even: 180
      {1250, 625, 1250, 1250, 1200},
      {1251, 5, 10, 10, 50},        // no model holds the code: the first model's ratings
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    Build(r.code, 18);
    const int fla = NumberOf(table, "F001");
    EXPECT_EQ(GetPrmMinimum(table, fla, vcMode1), Fx(r.flaMin));
    EXPECT_EQ(GetPrmMaximum(table, fla, vcMode1), Fx(r.flaMax));
    EXPECT_EQ(Default("F001"), Fx(r.flaMin));
    EXPECT_EQ(GetPrmValue(table, fla, vcMode1), Fx(r.flaMin));
    EXPECT_EQ(Default("F073"), Fx(r.frame));
    EXPECT_EQ(Default("F074"), Fx(r.ct));
    EXPECT_EQ(Default("F002"), Fx(100));
  }
}

// Firmware-dependent rows: F051, F101, F112 defaults and F113's firmware set and default.
TEST_F(CatalogueTest, FirmwareDependentRows)
{
  struct Row {
    int flashIndex;
    int f051, f101, f112, f113;
    bool f113InFirmware;
  } rows[] = {
      {0, 1, 1, 4, 4, false},  {6, 1, 1, 4, 4, false},  {7, 1, 1, 68, 4, false}, {8, 1, 1, 68, 4, true},
      {9, 1, 1, 5, 7, true},   {10, 0, 1, 5, 7, true},  {12, 0, 1, 5, 7, true},  {13, 0, 3, 5, 7, true},
      {18, 0, 3, 5, 7, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flashIndex);
    Build(150, r.flashIndex);
    EXPECT_EQ(Default("F051"), Fx(r.f051));
    EXPECT_EQ(Default("F101"), Fx(r.f101));
    EXPECT_EQ(Default("F112"), Fx(r.f112));
    EXPECT_EQ(Default("F113"), Fx(r.f113));
    const int f113 = NumberOf(table, "F113");
    EXPECT_EQ(IsInFirmware(table, f113, selection), r.f113InFirmware);
    EXPECT_EQ(IsPrmAvailable(table, f113, vcMode1, 2, selection), r.f113InFirmware);
    EXPECT_EQ(table[f113].FLASHNO_INDEX.Empty(), !r.f113InFirmware);
    // Every other row exists in every firmware version.
    for (int n = 1; n < f113; ++n) EXPECT_TRUE(IsInFirmware(table, n, selection)) << table[n].PARAMETER_ID;
  }
}

// The register figures of the defaults: register = value x divisor.
TEST_F(CatalogueTest, DefaultRegisterFiguresOfModel150Firmware401)
{
  Build(150, 18);
  const std::uint16_t expected[] = {75, 100, 10, 10, 0, 0, 0, 0, 0, 1, 40, 200, 10, 350, 40, 200, 10, 350};
  for (int n = 1; n <= 18; ++n)
    EXPECT_EQ(PrmValueToRegister(table, n, vcDefault), expected[n - 1]) << table[n].PARAMETER_ID;
  struct Row {
    const char* fno;
    double value;
    std::uint16_t word;
  } rows[] = {{"F106", 0.5, 50}, {"F023", 0.8, 8}, {"F094", 999.9, 9999}, {"F022", 0, 0}};
  for (const Row& r : rows) {
    const int n = NumberOf(table, r.fno);
    SetPrmValue(table, n, vcMode1, false, Fx(r.value), selection);
    EXPECT_EQ(PrmValueToRegister(table, n, vcMode1), r.word) << r.fno;
  }
}

TEST_F(CatalogueTest, KindsFlagsAndApplicationSets)
{
  Build(150, 18);
  struct Row {
    const char* fno;
    int editType;
    bool readOnly;
    bool listed;
    int applicationCount;  // elements of APPLICATION_ID
  } rows[] = {
      {"F001", etNumber, false, true, 9},      {"F002", etList, false, true, 9},
      {"F006", etNumber, true, false, 1},      {"F009", etNumber, true, false, 1},
      {"F022", etOffNumber, false, true, 9},   {"F055", etNumber, true, false, 0},
      {"F059", etNumber, true, false, 0},      {"F064", etNumber, true, true, 256},
      {"F065", etList, true, true, 256},       {"F068", etList, false, true, 9},
      {"F070", etOffNumber, false, true, 9},   {"F072", etNumber, true, true, 256},
      {"F074", etSteppedNumber, false, true, 9}, {"F075", etNumber, true, true, 9},
      {"F081", etNumber, true, false, 0},      {"F084", etNumber, true, true, 256},
      {"F094", etNumber, true, true, 256},     {"F096", etNumber, true, true, 9},
      {"F097", etNumber, true, true, 256},     {"F101", etOffNumber, false, true, 9},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fno);
    const PRM_REC& rec = table[NumberOf(table, r.fno)];
    EXPECT_EQ(rec.EDIT_TYPE, r.editType);
    EXPECT_EQ(rec.MONITOR_ONLY, r.readOnly);
    EXPECT_EQ(rec.APPLICATION_ID.Contains(1), r.listed);
    EXPECT_EQ(rec.APPLICATION_ID.Count(), r.applicationCount);
    EXPECT_EQ(rec.ADVANCED, 0);
    if (rec.EDIT_TYPE == etOffNumber) {
      EXPECT_EQ(rec.DisabledValue, Fx(0));
      EXPECT_EQ(rec.DisabledText, "Off");
    }
  }
  EXPECT_EQ(table[NumberOf(table, "F074")].StepSize, Fx(5));
  EXPECT_EQ(PrmHintText(table, NumberOf(table, "F022"), vcMode1), "10 to 100 % or Off");
}

TEST_F(CatalogueTest, ListsOfferOnlyItemsInRange)
{
  Build(150, 18);
  struct Row {
    const char* fno;
    int items;
    int firstValue;
    const char* firstText;
  } rows[] = {
      {"F002", 7, 100, "1.00"},    {"F003", 6, 5, "5"},           {"F005", 3, 0, "0:Manual"},
      {"F010", 4, 1, "VR1-VR2"},   {"F051", 2, 0, "0:Disabled"},  {"F060", 32, 1, "Run / Stop (Changes on Start Command, resets on Stop)"},
      {"F065", 5, 0, "0:Disabled"}, {"F066", 3, 0, "4800"},       {"F068", 4, 0, "Disabled"},
      {"F071", 3, 0, "0:Disabled"}, {"F098", 3, 0, "0:Disabled"}, {"F105", 4, 0, "0:Disabled"},
      {"F108", 13, 0, "Off"},      {"F111", 13, 0, "Off"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fno);
    const PRM_REC& rec = table[NumberOf(table, r.fno)];
    ASSERT_EQ(rec.ValueSTR.TOTAL, r.items);
    EXPECT_EQ(rec.ValueSTR.TRVALUE[0], r.firstValue);
    EXPECT_EQ(rec.ValueSTR.STRARRAY[0], r.firstText);
    EXPECT_TRUE(rec.ValueSTR.ENABLE_A[0][3]);
  }
  // Numbers and Off parameters carry no items.
  EXPECT_EQ(table[NumberOf(table, "F001")].ValueSTR.TOTAL, 0);
  // The relay list keeps the manual's reference to F062 in items 28..31.
  const DESC_REC& relay = table[NumberOf(table, "F060")].ValueSTR;
  EXPECT_EQ(relay.STRARRAY[27], "Run / Stop with On-delay from F062");
  EXPECT_EQ(relay.TRVALUE[27], 28);
  EXPECT_EQ(relay.STRARRAY[30], "Start / End of Decel with On-delay from F062");
  EXPECT_EQ(relay.TRVALUE[31], 32);
  EXPECT_EQ(ListTextOfValue(table, NumberOf(table, "F062"), vcMode1, Fx(22), "?", selection), "Any Trip");
}

TEST_F(CatalogueTest, RolesAndSpecialAddresses)
{
  Build(150, 18);
  struct Role {
    TDependencyIndex role;
    const char* fno;
  } roles[] = {{deiMotorFla, "F001"},       {deiServiceFactor, "F002"},
               {deiOLReset, "F005"},        {deiKickTime, "F023"},
               {deiMinStartsPerHour, "F050"}, {deiAuxRelay3, "F062"},
               {deiAuxRelayDelayTimer, "F063"}, {deiSystemClearAndFactoryReset, "F071"},
               {deiFactoryPassword, "F072"}, {deiFrameRating, "F073"},
               {deiCtValue, "F074"}};
  for (const Role& r : roles) EXPECT_EQ(table.DEPENDENCY_MAP[r.role], NumberOf(table, r.fno)) << r.fno;
  for (TDependencyIndex unmapped : {deiMotorFla2, deiNumberOfTurnsThroughCt, deiTemperatureUnits, deiPhaseRotationTrip})
    EXPECT_EQ(table.DEPENDENCY_MAP[unmapped], -1) << unmapped;

  const TSpecialAddresses expected = {1081, 1085, 1081, 1076, 1077, 1075, 1078, 1079, 1080};
  EXPECT_EQ(special, expected);
  // The factory password is both the minimum and the default.
  const int pw = NumberOf(table, "F072");
  EXPECT_EQ(GetPrmMinimum(table, pw, vcMode1), Fx(kFactoryPasswordValue));
  EXPECT_EQ(GetPrmMaximum(table, pw, vcMode1), Fx(9999));
}

TEST_F(CatalogueTest, MotorFlaFollowsFrameRatingAndServiceFactor)
{
  Build(150, 18);
  const int fla = table.DEPENDENCY_MAP[deiMotorFla];
  const int sf = table.DEPENDENCY_MAP[deiServiceFactor];
  const int frame = table.DEPENDENCY_MAP[deiFrameRating];
  struct Row {
    double frame, serviceFactorItem, flaBefore;
    double minimum, maximum, flaAfter;
  } rows[] = {
      {150, 115, 140, 65, 130, 130},   // 150 / 1.15 = 130.4, 75 / 1.15 = 65.2
      {150, 100, 140, 75, 150, 140},
      {150, 100, 20, 75, 150, 75},
      {361, 100, 300, 180, 361, 300},  // 180.5 rounds to even
      {150, 130, 75, 58, 115, 75},     // 115.38 and 57.69
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.frame * 1000 + r.serviceFactorItem);
    SetPrmValue(table, frame, vcMode1, false, Fx(r.frame), selection);
    SetPrmValue(table, sf, vcMode1, false, Fx(r.serviceFactorItem), selection);
    SetPrmValue(table, fla, vcMode1, false, Fx(r.flaBefore), selection);
    UpdateMotorFlaRange(table, vcMode1, selection);
    EXPECT_EQ(GetPrmMinimum(table, fla, vcMode1), Fx(r.minimum));
    EXPECT_EQ(GetPrmMaximum(table, fla, vcMode1), Fx(r.maximum));
    EXPECT_EQ(GetPrmValue(table, fla, vcDefault), Fx(r.minimum));
    EXPECT_EQ(GetPrmValue(table, fla, vcMode1), Fx(r.flaAfter));
  }

  // A service factor that reads as 0 changes nothing.
  SetPrmValue(table, sf, vcMode1, false, Fx(0), selection);
  SetPrmValue(table, fla, vcMode1, false, Fx(1400), selection);
  UpdateMotorFlaRange(table, vcMode1, selection);
  EXPECT_EQ(GetPrmValue(table, fla, vcMode1), Fx(1400));

  // The generic model keeps 5..1500 whatever the frame rating.
  Build(0, 18);
  SetPrmValue(table, table.DEPENDENCY_MAP[deiServiceFactor], vcMode1, false, Fx(115), selection);
  SetPrmValue(table, table.DEPENDENCY_MAP[deiMotorFla], vcMode1, false, Fx(1490), selection);
  UpdateMotorFlaRange(table, vcMode1, selection);
  EXPECT_EQ(GetPrmMinimum(table, table.DEPENDENCY_MAP[deiMotorFla], vcMode1), Fx(5));
  EXPECT_EQ(GetPrmMaximum(table, table.DEPENDENCY_MAP[deiMotorFla], vcMode1), Fx(1500));
  EXPECT_EQ(GetPrmValue(table, table.DEPENDENCY_MAP[deiMotorFla], vcMode1), Fx(1490));
}

TEST_F(CatalogueTest, RebuildRefillsTheSameRecordsAndForgetsTheStartersValues)
{
  Build(150, 18);
  const PRM_REC* first = &table[1];
  const int f113 = NumberOf(table, "F113");
  SetPrmValue(table, 1, vcDrive, false, Fx(120), selection);
  SetPrmValue(table, 1, vcMode1, false, Fx(130), selection);
  SetPrmValue(table, f113, vcDrive, false, Fx(99), selection);

  Build(361, 0, false);
  ASSERT_EQ(table.Count(), 104);
  EXPECT_EQ(&table[1], first);
  EXPECT_EQ(GetPrmValue(table, 1, vcMode1), Fx(180));
  for (int n = 1; n <= table.Count(); ++n)
    EXPECT_EQ(GetPrmValue(table, n, vcDrive), GetPrmValue(table, n, vcDefault)) << table[n].PARAMETER_ID;
  EXPECT_FALSE(IsInFirmware(table, f113, selection));
  EXPECT_EQ(table[NumberOf(table, "F060")].ValueSTR.TOTAL, 32);
}

// A defective definition stops the build with the message naming the entry.
TEST(CatalogueDefinitionChecks, DefectsNameTheEntry)
{
  const FLASHSET all = FLASHSET::All();
  const FLASHSET listed = FLASHSET::Range(1, 9);
  struct Case {
    const char* name;
    void (*define)(CatalogueBuilder&, const FLASHSET&, const FLASHSET&);
    const char* message;
  } cases[] = {
      {"address below base",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.ReserveAddress('A', "low", 1000);
         b.AddNumberPrm('A', "Low One", "", Fx(1), Fx(0), Fx(5), Fx(1), 0, a, f);
       },
       "Memory address for \"Low One\" is below base address."},
      {"minimum above maximum",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddNumberPrm('A', "Good", "", Fx(1), Fx(0), Fx(5), Fx(1), 0, a, f);
         b.AddNumberPrm('A', "Bad", "", Fx(1), Fx(6), Fx(5), Fx(1), 0, a, f);
       },
       "Paramater List Error Min>Max List No. : 2"},
      {"zero divisor",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddNumberPrm('A', "Bad", "", Fx(1), Fx(0), Fx(5), Fx(0), 0, a, f);
       },
       "Range Step List Error List No. : 1"},
      {"negative divisor",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddNumberPrm('A', "Bad", "", Fx(1), Fx(0), Fx(5), Fx(-10), 0, a, f);
       },
       "Range Step List Error List < 0 NO. : 1"},
      {"default outside the range",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddNumberPrm('A', "Bad", "", Fx(6), Fx(0), Fx(5), Fx(1), 0, a, f);
       },
       "Default Value Control Mode 1 not in Range List Parameter No: 1"},
      {"Off default outside the range and not the Off value",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddOffPrm('A', "Bad", "", Fx(2), Fx(10), Fx(20), Fx(1), Fx(0), "Off", 0, a, f);
       },
       "Default Value Control Mode 1 not in Range List Parameter No: 1"},
      {"step size left at 1",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET&) {
         b.AddSteppedPrm('A', "Bad", "", Fx(10), Fx(0), Fx(50), Fx(1), Fx(1), 0, a);
       },
       "Resolution not set for List Type Parameter No: 1"},
      {"Off value not set",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddOffPrm('A', "Bad", "", Fx(-1), Fx(10), Fx(20), Fx(1), Fx(-1), "Off", 0, a, f);
       },
       "Disabled Value not set for List Parameter No: 1"},
      {"Off text not set",
       [](CatalogueBuilder& b, const FLASHSET& a, const FLASHSET& f) {
         b.AddOffPrm('A', "Bad", "", Fx(0), Fx(10), Fx(20), Fx(1), Fx(0), "", 0, a, f);
       },
       "Disabled Text not set for List Parameter No: 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrmTable table(kMaxParameters);
    CatalogueBuilder b(table, true);
    c.define(b, listed, all);
    EXPECT_FALSE(b.Ok());
    EXPECT_EQ(b.Error(), c.message);
    // Nothing after the defect is built.
    b.AddNumberPrm('B', "After", "", Fx(1), Fx(0), Fx(5), Fx(1), 0, listed, all);
    EXPECT_EQ(b.Error(), c.message);
  }
}

TEST(CatalogueDefinitionChecks, SoundDefinitionsPass)
{
  PrmTable table(kMaxParameters);
  CatalogueBuilder b(table, true);
  const FLASHSET all = FLASHSET::All();
  // An Off default outside the range is the Off value; a stepped default on the step.
  b.AddOffPrm('A', "Kick", "%", Fx(0), Fx(10), Fx(100), Fx(1), Fx(0), "Off", 0, all, all);
  b.AddSteppedPrm('A', "CT", "", Fx(160), Fx(10), Fx(1500), Fx(1), Fx(5), 0, all);
  b.ReserveAddress('A', "gap", -1);
  b.MarkSpecialAddress(1u << sasFaultHistory);
  b.AddNumberPrm('B', "After gap", "", Fx(1), Fx(0), Fx(5), Fx(1), pflMonitorOnly | pflAdvanced, all, all);
  b.ReserveAddress('B', "jump", 1200);
  b.AddNumberPrm('B', "Jumped", "", Fx(1), Fx(0), Fx(5), Fx(1), 0, all, all);
  b.Finish();
  ASSERT_TRUE(b.Ok()) << b.Error();
  ASSERT_EQ(table.Count(), 4);
  EXPECT_EQ(table[3].PRMADDR, 1004);
  EXPECT_EQ(table[3].PARAMETER_ID, "F004");
  EXPECT_TRUE(table[3].MONITOR_ONLY);
  EXPECT_EQ(table[3].ADVANCED, 1);
  EXPECT_EQ(table[4].PRMADDR, 1200);
  EXPECT_EQ(table[4].PARAMETER_ID, "F200");
}

TEST(CatalogueDefinitionChecks, TableCapacity)
{
  PrmTable table(2);
  CatalogueBuilder b(table, true);
  const FLASHSET all = FLASHSET::All();
  for (int i = 0; i < 3; ++i) b.AddNumberPrm('A', "P", "", Fx(1), Fx(0), Fx(5), Fx(1), 0, all, all);
  EXPECT_EQ(b.Error(), "Maximum number of parameters exceeded!");
  EXPECT_EQ(table.Count(), 2);
}

TEST(CatalogueDefinitionChecks, ListDefects)
{
  const FLASHSET all = FLASHSET::All();
  {
    PrmTable table(kMaxParameters);
    CatalogueBuilder b(table, true);
    b.AddListPrm('A', "No list", "", Fx(0), Fx(0), Fx(2), Fx(1), pliNone, 0, all, all);
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(BuildPrmLists(table, true), "Edit type is combo box but no list found for Save ID: F001");
  }
  {
    PrmTable table(kMaxParameters);
    CatalogueBuilder b(table, true);
    b.AddNumberPrm('A', "Number", "", Fx(0), Fx(0), Fx(2), Fx(1), 0, all, all);
    ASSERT_TRUE(b.Ok());
    table[1].PrmListId = pliBaudRate;
    EXPECT_EQ(BuildPrmLists(table, true), "Error in list for Save ID: F001");
  }
  {
    // Items outside the range are skipped, but the running value still advances.
    PrmTable table(kMaxParameters);
    CatalogueBuilder b(table, true);
    b.AddListPrm('A', "Relay", "", Fx(30), Fx(30), Fx(31), Fx(1), pliAuxRelaySetting, 0, all, all);
    ASSERT_EQ(BuildPrmLists(table, true), "");
    ASSERT_EQ(table[1].ValueSTR.TOTAL, 2);
    EXPECT_EQ(table[1].ValueSTR.TRVALUE[0], 30);
    EXPECT_EQ(table[1].ValueSTR.STRARRAY[0], "At Speed / End of Decel with On-delay from F062");
  }
}

TEST(CatalogueProgramWide, BuildsPrmTableForTheProgramSelection)
{
  const TSelectionState saved = SELECTION;
  SELECTION = Selection(0, 0);
  ASSERT_EQ(BuildCatalogue(true), "");
  EXPECT_EQ(PRM_TABLE.Count(), 104);
  EXPECT_EQ(SIGNAL_TABLE.Count(), 21);
  EXPECT_EQ(SPECIAL_ADDRESSES[sasFaultHistory], 1085);
  const int f113 = PRM_TABLE.Count();
  EXPECT_FALSE(IsPrmAvailable(PRM_TABLE, f113, vcMode1, 0));
  EXPECT_EQ(GetPrmValue(PRM_TABLE, f113 - 1, vcDefault), Fx(4));
  SELECTION = saved;
}

TEST(CatalogueText, GroupTitles)
{
  struct Row {
    const char* key;
    const char* title;
  } rows[] = {{"A1", "Motor Overload Information"}, {"a1", "Motor Overload Information"},
              {"B1", "Starting and Stopping Modes"}, {"K1", "Calendar"},
              {"l1", "System Settings"}, {"P1", "Analog Output"},
              {"Q1", "System Settings"}, {"R1", "<->"},
              {"A2", "<->"}, {"", "<->"}, {"A1 ", "<->"}};
  for (const Row& r : rows) EXPECT_EQ(GroupTitle(r.key), r.title) << r.key;
}

TEST(CatalogueModels, ModelTable)
{
  const auto& models = MODEL_TABLE();
  EXPECT_EQ(models[1].InvStr, "RV8 Soft Starter");
  EXPECT_EQ(models[1].InvNum.Minimum, 0);
  EXPECT_EQ(models[1].InvNum.Maximum, 0);
  EXPECT_EQ(models[2].InvNum.Minimum, 1);
  EXPECT_EQ(models[10].InvStrDisp, "RV8-150 Soft Starter");
  EXPECT_EQ(models[21].InvNum.Minimum, 1007);
  EXPECT_EQ(models[21].InvNum.Maximum, 1250);
  for (int p = 3; p <= kModelCount; ++p)
    EXPECT_EQ(models[static_cast<std::size_t>(p)].InvNum.Minimum, models[static_cast<std::size_t>(p - 1)].InvNum.Maximum + 1);
  const auto& ratings = MODEL_RATINGS();
  EXPECT_EQ(ratings[14].CtValue, Fx(330));
  EXPECT_EQ(ratings[14].FrameRating, Fx(361));
  EXPECT_EQ(ratings[7].FullScaleVoltage, Fx(208));
  EXPECT_EQ(ratings[7].FullScaleFrequency, Fx(60));
  EXPECT_EQ(ratings[7].ServiceFactor, Fx(1));

  struct Row {
    std::int32_t code;
    int position;
    const char* shortName;
  } rows[] = {{0, 1, "RV8"},         {1, 2, "RV8-18"},       {15, 2, "RV8-18"},   {18, 2, "RV8-18"},
              {19, 3, "RV8-28"},     {150, 10, "RV8-150"},   {151, 11, "RV8-160"}, {1006, 20, "RV8-1006"},
              {1007, 21, "RV8-1250"}, {1250, 21, "RV8-1250"}, {1251, -7, "UNKNOWN"}, {-1, -7, "UNKNOWN"}};
  for (const Row& r : rows) {
    EXPECT_EQ(ModelPositionOfCode(r.code, -7), r.position) << r.code;
    EXPECT_EQ(ModelShortName(r.code), r.shortName) << r.code;
  }

  struct Name {
    const char* name;
    std::int32_t code;
  } names[] = {{"rv8-150", 150}, {"RV8-18", 18}, {"RV8", 0}, {"qx-rv8", 0}, {"RV8-151", -1}, {"", -1}};
  for (const Name& n : names) EXPECT_EQ(ModelCodeOfName(n.name), n.code) << n.name;
}

TEST(CatalogueModels, VoltageClasses)
{
  struct Row {
    std::int32_t code;
    int voltageClass;
  } rows[] = {{0, 0},   {200, 0}, {201, 1}, {240, 1}, {241, 0},  {399, 0},
              {400, 2}, {475, 2}, {476, 0}, {1205, 1}, {1204, 0}};
  for (const Row& r : rows) EXPECT_EQ(VoltageClass(r.code), r.voltageClass) << r.code;
  EXPECT_TRUE(SameVoltageClass(220, 1205));
  EXPECT_TRUE(SameVoltageClass(450, 400));
  EXPECT_FALSE(SameVoltageClass(220, 450));
  EXPECT_FALSE(SameVoltageClass(150, 150));  // class 0 never matches
}

TEST(CatalogueModels, FlashTable)
{
  const auto& flash = FLASH_TABLE();
  ASSERT_EQ(flash.size(), 19u);
  EXPECT_EQ(flash[0].FlashNum, 0);
  EXPECT_EQ(flash[0].FlashStr, "Standard Firmware");
  EXPECT_EQ(flash[0].FlashVersionDisplay, "Standard");
  EXPECT_EQ(flash[13].FlashNum, 137);
  EXPECT_EQ(flash[18].FlashNum, 401);
  for (std::size_t p = 0; p < flash.size(); ++p) {
    EXPECT_EQ(flash[p].Num, static_cast<int>(p));
    EXPECT_EQ(FlashIndexOfNumber(flash[p].FlashNum), static_cast<int>(p));
    EXPECT_FALSE(flash[p].boolUnit1500V);
  }
  EXPECT_EQ(FlashIndexOfNumber(402), -1);
  EXPECT_EQ(FlashIndexOfNumber(135), -1);
}

}  // namespace
}  // namespace rv8::param
