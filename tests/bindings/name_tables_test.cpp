#include "bindings/name_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "input/joystick.h"

namespace cfg {
namespace {

// Pad inputs are named by rule: the four directions, then B<n> for bit n-1.
TEST(NameTablesTest, PadInputsAreTheDirectionsAndSixteenButtons) {
  const std::pair<PadState, std::string> directions[] = {
      {kPadUp, "UP"}, {kPadDown, "DOWN"}, {kPadLeft, "LEFT"}, {kPadRight, "RIGHT"}};
  for (const auto& [bit, name] : directions) {
    ASSERT_NE(FindPadButtonName(static_cast<int32_t>(bit)), nullptr) << name;
    EXPECT_EQ(FindPadButtonName(static_cast<int32_t>(bit))->name, name);
  }
  for (int button = 1; button <= 16; ++button) {
    const NameEntry* entry = FindPadButtonName(1 << (button - 1));
    ASSERT_NE(entry, nullptr) << button;
    EXPECT_EQ(entry->name, "B" + std::to_string(button));
  }
  EXPECT_EQ(PadButtonNameTable[kPadButtonNameCount].code, -1);
}

// Each key has one name, each name one key; codes are DirectInput's bytes.
TEST(NameTablesTest, KeyNamesAndCodesAreUnique) {
  std::set<std::string> names;
  std::set<int32_t> codes;
  for (int i = 0; i < kKeyNameCount; ++i) {
    EXPECT_TRUE(names.insert(KeyNameTable[i].name).second) << KeyNameTable[i].name;
    EXPECT_TRUE(codes.insert(KeyNameTable[i].code).second) << KeyNameTable[i].name;
    EXPECT_GT(KeyNameTable[i].code, 0);
    EXPECT_LT(KeyNameTable[i].code, 256);
    EXPECT_EQ(FindKeyName(KeyNameTable[i].code), &KeyNameTable[i]);
  }
  EXPECT_EQ(KeyNameTable[kKeyNameCount].code, -1);
}

// Not a chord, not the end marker, not a key past the table.
TEST(NameTablesTest, UnnamedCodesFindNothing) {
  for (int32_t code : {-1, 0, 0x3, 0x10001, 0x100000, 256 + 44}) {
    EXPECT_EQ(FindPadButtonName(code), nullptr) << code;
  }
  for (int32_t code : {-1, 0, 1, 13, 57, 300}) EXPECT_EQ(FindKeyName(code), nullptr) << code;
}

}  // namespace
}  // namespace cfg
