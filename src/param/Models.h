#pragma once
// The starter models and firmware versions the catalogue is built for.
//
// MODEL_TABLE positions 1..21 describe the RV8 frame sizes; a starter reports a model code
// (its frame rating in amperes, 0 for the generic model) and the position whose code range
// holds it is the model. FLASH_TABLE positions 0..18 are the firmware versions; the catalogue
// is selected by position, project files carry the version number (FlashNum).

#include "param/Fixed.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rv8::param {

struct TInvNum {
  std::int32_t Maximum = 0;
  std::int32_t Minimum = 0;
};

struct INVERTER_REC {
  std::int32_t Num = 0;     // position in MODEL_TABLE
  TInvNum InvNum;           // model codes the starter reports for this model
  std::string InvStr;       // "RV8-150 Soft Starter"
  std::string InvStrDisp;   // display name (equal to InvStr)
};

// The five figures of one model.
struct MODEL_RATING {
  Fixed FullScaleVoltage;
  Fixed CtValue;
  Fixed FrameRating;        // amperes
  Fixed FullScaleFrequency;
  Fixed ServiceFactor;
};

struct FLASH_REC {
  std::int32_t Num = 0;            // position in FLASH_TABLE
  std::uint16_t FlashNum = 0;      // version number the starter reports (401 for 4.01)
  std::string FlashStr;            // combo text
  std::string FlashVersionDisplay; // short text
  bool boolUnit1500V = false;
};

inline constexpr int kModelCount = 21;       // MODEL_TABLE positions 1..21
inline constexpr int kFlashCount = 19;       // FLASH_TABLE positions 0..18
inline constexpr int kMaxFlashEntries = 19;
inline constexpr std::int32_t kMaxModelCode = 1250;

// MODEL_TABLE[p] for p = 1..21; slot 0 is unused (Num 0, empty names).
const std::array<INVERTER_REC, kModelCount + 1>& MODEL_TABLE();
// MODEL_RATINGS[p] for p = 1..21; slot 0 is unused (all zero).
const std::array<MODEL_RATING, kModelCount + 1>& MODEL_RATINGS();

// FLASH_TABLE positions 0..18. The version texts are written in the user's number format,
// so the table is built on first use: call it only after the number settings are in place.
const std::array<FLASH_REC, kFlashCount>& FLASH_TABLE();

// The first position whose code range holds the code, else fallback.
int ModelPositionOfCode(std::int32_t code, int fallback);
// "RV8-18" for code 15, "RV8" for code 0; "UNKNOWN" when no model holds the code.
std::string ModelShortName(std::int32_t code);
// The highest code of the first model whose short name equals the name (case-insensitive);
// "QX-RV8" (the old name of the generic model) gives 0; -1 when none.
std::int32_t ModelCodeOfName(std::string_view name);

// FLASH_TABLE position of a firmware version number, -1 when the version is unknown.
int FlashIndexOfNumber(std::int32_t flashNum);

// 1 for the 240 V class (codes 201..240 and 1205), 2 for the 480 V class (400..475), else 0.
int VoltageClass(std::int32_t code);
// True when both codes belong to the same known voltage class (class 0 never matches).
bool SameVoltageClass(std::int32_t currentModelCode, std::int32_t scannedModelCode);

// The Motor FLA limits of a model: for a real model half the frame rating to the frame rating,
// both divided by the service factor and rounded to whole amperes (ties to even); for the
// generic model (code 0 or below) 5 to 1500 A.
struct FlaLimits {
  Fixed minimum;
  Fixed maximum;
};
FlaLimits MotorFlaLimits(std::int32_t modelCode);

}  // namespace rv8::param
