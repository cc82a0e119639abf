#pragma once
// Fixed access codes shared by the program and the simulated starter.
//
// The starter keeps parameter writes locked until the write-access code has been written as the
// value of the factory-password parameter (F072). Reading that parameter gives the factory
// password, which is also its minimum: the catalogue's range for F072 is
// [kFactoryPassword, 9999]. The write-access code is a different number inside that range, so
// the program can store it in the parameter with the ordinary value operations before sending it.

#include <cstdint>
#include <string_view>

namespace rv8::comm {

// The factory password: minimum and default of the factory-password parameter (four digits).
inline constexpr uint16_t kFactoryPassword = 3871;

// The write-access code written to the factory-password parameter before every parameter write.
inline constexpr uint16_t kWriteAccessCode = 6502;

static_assert(kFactoryPassword >= 1000 && kFactoryPassword < 9999, "four digits, below the maximum");
static_assert(kWriteAccessCode != kFactoryPassword, "the two codes must differ");
static_assert(kWriteAccessCode >= kFactoryPassword && kWriteAccessCode <= 9999,
              "the write-access code must lie in the factory-password parameter's range");

// Access codes of the password dialog that guards the program's custom and test modes:
// 8 upper-case letters and digits, and 22 lower-case letters and digits. Compared case-sensitively.
inline constexpr std::string_view kCustomModeAccessCode = "RV8CM7Q2";
inline constexpr std::string_view kTestModeAccessCode = "rv8tm4k9x2p7w3n8q6z1dc";

static_assert(kCustomModeAccessCode.size() == 8);
static_assert(kTestModeAccessCode.size() == 22);

}  // namespace rv8::comm
