// Display names of keys and pad inputs. Their order decides which held key
// the button-assignment dialog takes first.
#pragma once

#include <cstdint>

namespace cfg {

// A pad input as the fields and kvset show it: "PAD" joystick ":" name, as PAD1:B3.
constexpr char kPadInputPrefix[] = "PAD";
constexpr char kPadInputSeparator[] = ":";

// The code of the entry that ends a table.
constexpr int32_t kEndOfTable = -1;

struct NameEntry {
  char name[32];  // CP932, NUL-padded
  int32_t code;   // DirectInput key code, or PadState bit; kEndOfTable ends a table
};

constexpr int kKeyNameCount = 73;
constexpr int kPadButtonNameCount = 20;

extern const NameEntry KeyNameTable[kKeyNameCount + 1];
extern const NameEntry PadButtonNameTable[kPadButtonNameCount + 1];

// First entry with exactly this code, or nullptr.
const NameEntry* FindKeyName(int32_t code);
const NameEntry* FindPadButtonName(int32_t code);

}  // namespace cfg
