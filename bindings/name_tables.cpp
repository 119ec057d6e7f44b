#include "bindings/name_tables.h"

#include "input/joystick.h"
#include "input/key_codes.h"

namespace cfg {

// Table order decides which of several held keys is captured first.
const NameEntry KeyNameTable[kKeyNameCount + 1] = {
    {"1", dik::kDigit1},
    {"2", dik::kDigit2},
    {"3", dik::kDigit3},
    {"4", dik::kDigit4},
    {"5", dik::kDigit5},
    {"6", dik::kDigit6},
    {"7", dik::kDigit7},
    {"8", dik::kDigit8},
    {"9", dik::kDigit9},
    {"0", dik::kDigit0},
    {"-", dik::kMinus},
    {"^", dik::kCircumflex},
    {"\x5C", dik::kYen},  // shown as the yen sign
    {"q", dik::kQ},
    {"w", dik::kW},
    {"e", dik::kE},
    {"r", dik::kR},
    {"t", dik::kT},
    {"y", dik::kY},
    {"u", dik::kU},
    {"i", dik::kI},
    {"o", dik::kO},
    {"p", dik::kP},
    {"@", dik::kAt},
    {"[", dik::kLBracket},
    {"a", dik::kA},
    {"s", dik::kS},
    {"d", dik::kD},
    {"f", dik::kF},
    {"g", dik::kG},
    {"h", dik::kH},
    {"j", dik::kJ},
    {"k", dik::kK},
    {"l", dik::kL},
    {";", dik::kSemicolon},
    {":", dik::kColon},
    {"]", dik::kRBracket},
    {"z", dik::kZ},
    {"x", dik::kX},
    {"c", dik::kC},
    {"v", dik::kV},
    {"b", dik::kB},
    {"n", dik::kN},
    {"m", dik::kM},
    {",", dik::kComma},
    {".", dik::kPeriod},
    {"/", dik::kSlash},
    {"backslash", dik::kBackslash},
    {"\x81\xAA", dik::kUp},     // up arrow
    {"\x81\xAB", dik::kDown},   // down arrow
    {"\x81\xA9", dik::kLeft},   // left arrow
    {"\x81\xA8", dik::kRight},  // right arrow
    {"num0", dik::kNumpad0},
    {"num1", dik::kNumpad1},
    {"num2", dik::kNumpad2},
    {"num3", dik::kNumpad3},
    {"num4", dik::kNumpad4},
    {"num5", dik::kNumpad5},
    {"num6", dik::kNumpad6},
    {"num7", dik::kNumpad7},
    {"num8", dik::kNumpad8},
    {"num9", dik::kNumpad9},
    {"num/", dik::kDivide},
    {"num*", dik::kMultiply},
    {"num-", dik::kSubtract},
    {"num+", dik::kAdd},
    {"num.", dik::kDecimal},
    {"Ins", dik::kInsert},
    {"Home", dik::kHome},
    {"PUp", dik::kPrior},
    {"PDown", dik::kNext},
    {"End", dik::kEnd},
    {"Del", dik::kDelete},
    {"", kEndOfTable},
};

const NameEntry PadButtonNameTable[kPadButtonNameCount + 1] = {
    {"UP", kPadUp},         {"DOWN", kPadDown},     {"LEFT", kPadLeft},     {"RIGHT", kPadRight},
    {"B1", PadButton(1)},   {"B2", PadButton(2)},   {"B3", PadButton(3)},   {"B4", PadButton(4)},
    {"B5", PadButton(5)},   {"B6", PadButton(6)},   {"B7", PadButton(7)},   {"B8", PadButton(8)},
    {"B9", PadButton(9)},   {"B10", PadButton(10)}, {"B11", PadButton(11)}, {"B12", PadButton(12)},
    {"B13", PadButton(13)}, {"B14", PadButton(14)}, {"B15", PadButton(15)}, {"B16", PadButton(16)},
    {"", kEndOfTable},
};

namespace {

const NameEntry* FindName(const NameEntry* table, int32_t code) {
  for (const NameEntry* entry = table; entry->code != kEndOfTable; ++entry) {
    if (entry->code == code) return entry;
  }
  return nullptr;
}

}  // namespace

const NameEntry* FindKeyName(int32_t code) {
  return FindName(KeyNameTable, code);
}

const NameEntry* FindPadButtonName(int32_t code) {
  return FindName(PadButtonNameTable, code);
}

}  // namespace cfg
