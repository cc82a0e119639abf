#include "param/Models.h"

#include "param/NuvShared.h"

#include <algorithm>
#include <cctype>

namespace rv8::param {

namespace {

// CT value and frame rating per position 1..21; every model is rated 208 V, 60 Hz and a
// service factor of 1.0.
struct ModelDef {
  const char* name;
  int ctValue;
  int frameRating;
};

constexpr std::array<ModelDef, kModelCount> kModels = {{
    {"RV8 Soft Starter", 50, 10},
    {"RV8-18 Soft Starter", 25, 18},
    {"RV8-28 Soft Starter", 25, 28},
    {"RV8-39 Soft Starter", 50, 39},
    {"RV8-48 Soft Starter", 50, 48},
    {"RV8-62 Soft Starter", 110, 62},
    {"RV8-78 Soft Starter", 110, 78},
    {"RV8-92 Soft Starter", 110, 92},
    {"RV8-112 Soft Starter", 110, 112},
    {"RV8-150 Soft Starter", 160, 150},
    {"RV8-160 Soft Starter", 160, 160},
    {"RV8-210 Soft Starter", 200, 210},
    {"RV8-275 Soft Starter", 250, 275},
    {"RV8-361 Soft Starter", 330, 361},
    {"RV8-450 Soft Starter", 500, 450},
    {"RV8-550 Soft Starter", 500, 550},
    {"RV8-600 Soft Starter", 700, 600},
    {"RV8-862 Soft Starter", 1000, 862},
    {"RV8-900 Soft Starter", 1000, 900},
    {"RV8-1006 Soft Starter", 1000, 1006},
    {"RV8-1250 Soft Starter", 1200, 1250},
}};

constexpr std::array<std::uint16_t, kFlashCount> kFlashNumbers = {
    0, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 137, 200, 300, 301, 400, 401};

std::string UpperCase(std::string_view text)
{
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Trimmed(std::string_view text)
{
  std::size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return std::string(text.substr(b, e - b));
}

}  // namespace

const std::array<INVERTER_REC, kModelCount + 1>& MODEL_TABLE()
{
  static const std::array<INVERTER_REC, kModelCount + 1> table = [] {
    std::array<INVERTER_REC, kModelCount + 1> t{};
    // The code ranges follow from the frame ratings: each model takes the codes above the
    // previous model's rating up to its own; the generic model takes code 0 alone.
    for (int p = 1; p <= kModelCount; ++p) {
      const ModelDef& m = kModels[static_cast<std::size_t>(p - 1)];
      INVERTER_REC& r = t[static_cast<std::size_t>(p)];
      r.Num = p;
      r.InvStr = m.name;
      r.InvStrDisp = m.name;
      if (p == 1) {
        r.InvNum = {0, 0};
      } else {
        const int previous = p == 2 ? 0 : kModels[static_cast<std::size_t>(p - 2)].frameRating;
        r.InvNum = {m.frameRating, previous + 1};
      }
    }
    return t;
  }();
  return table;
}

const std::array<MODEL_RATING, kModelCount + 1>& MODEL_RATINGS()
{
  static const std::array<MODEL_RATING, kModelCount + 1> ratings = [] {
    std::array<MODEL_RATING, kModelCount + 1> t{};
    for (int p = 1; p <= kModelCount; ++p) {
      const ModelDef& m = kModels[static_cast<std::size_t>(p - 1)];
      t[static_cast<std::size_t>(p)] = {Fx(208), Fx(m.ctValue), Fx(m.frameRating), Fx(60), Fx(1)};
    }
    return t;
  }();
  return ratings;
}

const std::array<FLASH_REC, kFlashCount>& FLASH_TABLE()
{
  static const std::array<FLASH_REC, kFlashCount> table = [] {
    std::array<FLASH_REC, kFlashCount> t{};
    for (int p = 0; p < kFlashCount; ++p) {
      FLASH_REC& r = t[static_cast<std::size_t>(p)];
      r.Num = p;
      r.FlashNum = kFlashNumbers[static_cast<std::size_t>(p)];
      if (p == 0) {
        r.FlashStr = "Standard Firmware";
        r.FlashVersionDisplay = "Standard";
      } else {
        r.FlashStr = FormatNumber(r.FlashNum / 100.0, 0, 2, false);
        r.FlashVersionDisplay = r.FlashStr;
      }
      r.boolUnit1500V = false;
    }
    return t;
  }();
  return table;
}

int ModelPositionOfCode(std::int32_t code, int fallback)
{
  const auto& table = MODEL_TABLE();
  for (int p = 1; p <= kModelCount; ++p) {
    const TInvNum& range = table[static_cast<std::size_t>(p)].InvNum;
    if (code >= range.Minimum && code <= range.Maximum) return p;
  }
  return fallback;
}

std::string ModelShortName(std::int32_t code)
{
  const int p = ModelPositionOfCode(code, 0);
  if (p < 1) return "UNKNOWN";
  const std::string& name = MODEL_TABLE()[static_cast<std::size_t>(p)].InvStr;
  const std::size_t space = name.find(' ');
  if (space == std::string::npos) return "UNKNOWN";
  return Trimmed(std::string_view(name).substr(0, space));
}

std::int32_t ModelCodeOfName(std::string_view name)
{
  const std::string wanted = UpperCase(Trimmed(name));
  const auto& table = MODEL_TABLE();
  for (int p = 1; p <= kModelCount; ++p) {
    const INVERTER_REC& r = table[static_cast<std::size_t>(p)];
    if (UpperCase(ModelShortName(r.InvNum.Maximum)) == wanted) return r.InvNum.Maximum;
  }
  if (wanted == "QX-RV8") return 0;
  return -1;
}

int FlashIndexOfNumber(std::int32_t flashNum)
{
  for (int p = 0; p < kFlashCount; ++p)
    if (kFlashNumbers[static_cast<std::size_t>(p)] == flashNum) return p;
  return -1;
}

int VoltageClass(std::int32_t code)
{
  if (code == 1205 || (code >= 201 && code <= 240)) return 1;
  if (code >= 400 && code <= 475) return 2;
  return 0;
}

bool SameVoltageClass(std::int32_t currentModelCode, std::int32_t scannedModelCode)
{
  const int c = VoltageClass(currentModelCode);
  return c != 0 && c == VoltageClass(scannedModelCode);
}

FlaLimits MotorFlaLimits(std::int32_t modelCode)
{
  if (modelCode <= 0) return {Fx(5), Fx(1500)};
  const MODEL_RATING& r = MODEL_RATINGS()[static_cast<std::size_t>(ModelPositionOfCode(modelCode, 1))];
  const Fixed maximum = (r.FrameRating / r.ServiceFactor).Rounded();
  const Fixed minimum = (r.FrameRating * Fx(0.5) / r.ServiceFactor).Rounded();
  return {minimum, maximum};
}

}  // namespace rv8::param
