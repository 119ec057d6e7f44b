#include "bindings/name_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace cfg {
namespace {

struct NameCase {
  const char* label;
  const char* name;  // exact bytes
  int32_t code;
};

// Written out from the published key numbering, independently of the table.
const NameCase kKeyNames[] = {
    {"DIK_1", "1", 2},
    {"DIK_2", "2", 3},
    {"DIK_3", "3", 4},
    {"DIK_4", "4", 5},
    {"DIK_5", "5", 6},
    {"DIK_6", "6", 7},
    {"DIK_7", "7", 8},
    {"DIK_8", "8", 9},
    {"DIK_9", "9", 10},
    {"DIK_0", "0", 11},
    {"DIK_MINUS", "-", 12},
    {"DIK_CIRCUMFLEX", "^", 144},
    {"DIK_YEN", "\x5C", 125},
    {"DIK_Q", "q", 16},
    {"DIK_W", "w", 17},
    {"DIK_E", "e", 18},
    {"DIK_R", "r", 19},
    {"DIK_T", "t", 20},
    {"DIK_Y", "y", 21},
    {"DIK_U", "u", 22},
    {"DIK_I", "i", 23},
    {"DIK_O", "o", 24},
    {"DIK_P", "p", 25},
    {"DIK_AT", "@", 145},
    {"DIK_LBRACKET", "[", 26},
    {"DIK_A", "a", 30},
    {"DIK_S", "s", 31},
    {"DIK_D", "d", 32},
    {"DIK_F", "f", 33},
    {"DIK_G", "g", 34},
    {"DIK_H", "h", 35},
    {"DIK_J", "j", 36},
    {"DIK_K", "k", 37},
    {"DIK_L", "l", 38},
    {"DIK_SEMICOLON", ";", 39},
    {"DIK_COLON", ":", 146},
    {"DIK_RBRACKET", "]", 27},
    {"DIK_Z", "z", 44},
    {"DIK_X", "x", 45},
    {"DIK_C", "c", 46},
    {"DIK_V", "v", 47},
    {"DIK_B", "b", 48},
    {"DIK_N", "n", 49},
    {"DIK_M", "m", 50},
    {"DIK_COMMA", ",", 51},
    {"DIK_PERIOD", ".", 52},
    {"DIK_SLASH", "/", 53},
    {"DIK_BACKSLASH", "backslash", 43},
    {"DIK_UP", "\x81\xAA", 200},
    {"DIK_DOWN", "\x81\xAB", 208},
    {"DIK_LEFT", "\x81\xA9", 203},
    {"DIK_RIGHT", "\x81\xA8", 205},
    {"DIK_NUMPAD0", "num0", 82},
    {"DIK_NUMPAD1", "num1", 79},
    {"DIK_NUMPAD2", "num2", 80},
    {"DIK_NUMPAD3", "num3", 81},
    {"DIK_NUMPAD4", "num4", 75},
    {"DIK_NUMPAD5", "num5", 76},
    {"DIK_NUMPAD6", "num6", 77},
    {"DIK_NUMPAD7", "num7", 71},
    {"DIK_NUMPAD8", "num8", 72},
    {"DIK_NUMPAD9", "num9", 73},
    {"DIK_DIVIDE", "num/", 181},
    {"DIK_MULTIPLY", "num*", 55},
    {"DIK_SUBTRACT", "num-", 74},
    {"DIK_ADD", "num+", 78},
    {"DIK_DECIMAL", "num.", 83},
    {"DIK_INSERT", "Ins", 210},
    {"DIK_HOME", "Home", 199},
    {"DIK_PRIOR", "PUp", 201},
    {"DIK_NEXT", "PDown", 209},
    {"DIK_END", "End", 207},
    {"DIK_DELETE", "Del", 211},
};
static_assert(std::size(kKeyNames) == kKeyNameCount, "every key is listed");

const NameCase kPadNames[] = {
    {"UP", "UP", 0x10000},       {"DOWN", "DOWN", 0x20000}, {"LEFT", "LEFT", 0x40000},
    {"RIGHT", "RIGHT", 0x80000}, {"B1", "B1", 0x1},         {"B2", "B2", 0x2},
    {"B3", "B3", 0x4},           {"B4", "B4", 0x8},         {"B5", "B5", 0x10},
    {"B6", "B6", 0x20},          {"B7", "B7", 0x40},        {"B8", "B8", 0x80},
    {"B9", "B9", 0x100},         {"B10", "B10", 0x200},     {"B11", "B11", 0x400},
    {"B12", "B12", 0x800},       {"B13", "B13", 0x1000},    {"B14", "B14", 0x2000},
    {"B15", "B15", 0x4000},      {"B16", "B16", 0x8000},
};
static_assert(std::size(kPadNames) == kPadButtonNameCount, "every pad input is listed");

// The whole 32-byte field: the name, then NUL padding.
void ExpectEntry(const NameEntry& entry, const NameCase& expected) {
  char name[32] = {};
  std::memcpy(name, expected.name, std::strlen(expected.name));
  EXPECT_EQ(std::memcmp(entry.name, name, sizeof name), 0) << entry.name;
  EXPECT_EQ(entry.code, expected.code);
}

template <const NameCase* cases>
std::string LabelOf(const ::testing::TestParamInfo<size_t>& info) {
  return cases[info.param].label;
}

class KeyNameTableTest : public ::testing::TestWithParam<size_t> {};

TEST_P(KeyNameTableTest, EntryHasItsNameAndCode) {
  ExpectEntry(KeyNameTable[GetParam()], kKeyNames[GetParam()]);
}

TEST_P(KeyNameTableTest, LookupOfTheCodeFindsTheEntry) {
  EXPECT_EQ(FindKeyName(kKeyNames[GetParam()].code), &KeyNameTable[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(Names, KeyNameTableTest, ::testing::Range<size_t>(0, kKeyNameCount),
                         LabelOf<kKeyNames>);

class PadButtonNameTableTest : public ::testing::TestWithParam<size_t> {};

TEST_P(PadButtonNameTableTest, EntryHasItsNameAndCode) {
  ExpectEntry(PadButtonNameTable[GetParam()], kPadNames[GetParam()]);
}

TEST_P(PadButtonNameTableTest, LookupOfTheCodeFindsTheEntry) {
  EXPECT_EQ(FindPadButtonName(kPadNames[GetParam()].code), &PadButtonNameTable[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(Names, PadButtonNameTableTest,
                         ::testing::Range<size_t>(0, kPadButtonNameCount), LabelOf<kPadNames>);

TEST(NameTablesTest, BothEndWithAnEmptyMinusOneEntry) {
  ExpectEntry(KeyNameTable[kKeyNameCount], {"end", "", kEndOfTable});
  ExpectEntry(PadButtonNameTable[kPadButtonNameCount], {"end", "", kEndOfTable});
}

class UnnamedKeyTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(UnnamedKeyTest, HasNoName) {
  EXPECT_EQ(FindKeyName(GetParam()), nullptr);
}

// The end marker, keys left out, and codes whose low byte alone would match.
INSTANTIATE_TEST_SUITE_P(Names, UnnamedKeyTest,
                         ::testing::Values(-1, 0, 1, 13, 14, 15, 28, 42, 57, 59, 156, 300, 0x1C8,
                                           INT32_MIN));

class UnnamedPadInputTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(UnnamedPadInputTest, HasNoName) {
  EXPECT_EQ(FindPadButtonName(GetParam()), nullptr);
}

// Masks of two bits, bits past the directions, the end marker.
INSTANTIATE_TEST_SUITE_P(Names, UnnamedPadInputTest,
                         ::testing::Values(-1, 0, 0x3, 0x30000, 0x100000, 0x10001));

}  // namespace
}  // namespace cfg
