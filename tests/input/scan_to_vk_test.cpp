#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "input/keyboard.h"

namespace cfg {
namespace {

struct ScanVkCase {
  const char* key;
  int scan;
  int vk;
};

// Every key with a virtual-key code, written out independently of the table.
const ScanVkCase kMappedKeys[] = {
    {"Esc", 1, 27},
    {"Digit1", 2, 49},
    {"Digit2", 3, 50},
    {"Digit3", 4, 51},
    {"Digit4", 5, 52},
    {"Digit5", 6, 53},
    {"Digit6", 7, 54},
    {"Digit7", 8, 55},
    {"Digit8", 9, 56},
    {"Digit9", 10, 57},
    {"Digit0", 11, 48},
    {"Minus", 12, 189},
    {"Backspace", 14, 8},
    {"Tab", 15, 9},
    {"Q", 16, 81},
    {"W", 17, 87},
    {"E", 18, 69},
    {"R", 19, 82},
    {"T", 20, 84},
    {"Y", 21, 89},
    {"U", 22, 85},
    {"I", 23, 73},
    {"O", 24, 79},
    {"P", 25, 80},
    {"LeftBracket", 26, 219},
    {"RightBracket", 27, 221},
    {"Enter", 28, 13},
    {"LeftCtrl", 29, 17},
    {"A", 30, 65},
    {"S", 31, 83},
    {"D", 32, 68},
    {"F", 33, 70},
    {"G", 34, 71},
    {"H", 35, 72},
    {"J", 36, 74},
    {"K", 37, 75},
    {"L", 38, 76},
    {"Semicolon", 39, 187},
    {"LeftShift", 42, 16},
    {"Backslash", 43, 226},
    {"Z", 44, 90},
    {"X", 45, 88},
    {"C", 46, 67},
    {"V", 47, 86},
    {"B", 48, 66},
    {"N", 49, 78},
    {"M", 50, 77},
    {"Comma", 51, 188},
    {"Period", 52, 190},
    {"Slash", 53, 192},
    {"RightShift", 54, 16},
    {"PadMultiply", 55, 106},
    {"Space", 57, 32},
    {"CapsLock", 58, 20},
    {"F1", 59, 112},
    {"F2", 60, 113},
    {"F3", 61, 114},
    {"F4", 62, 115},
    {"F5", 63, 116},
    {"F6", 64, 117},
    {"F7", 65, 118},
    {"F8", 66, 119},
    {"F9", 67, 120},
    {"F10", 68, 121},
    {"NumLock", 69, 144},
    {"ScrollLock", 70, 145},
    {"Pad7", 71, 103},
    {"Pad8", 72, 104},
    {"Pad9", 73, 105},
    {"PadMinus", 74, 109},
    {"Pad4", 75, 100},
    {"Pad5", 76, 101},
    {"Pad6", 77, 102},
    {"PadPlus", 78, 107},
    {"Pad1", 79, 97},
    {"Pad2", 80, 98},
    {"Pad3", 81, 99},
    {"Pad0", 82, 96},
    {"PadPeriod", 83, 110},
    {"F11", 87, 122},
    {"F12", 88, 123},
    {"F13", 100, 124},
    {"F14", 101, 125},
    {"F15", 102, 126},
    {"Convert", 121, 28},
    {"NoConvert", 123, 29},
    {"Yen", 125, 220},
    {"PadEnter", 156, 13},
    {"RightCtrl", 157, 17},
    {"PadComma", 179, 108},
    {"PadDivide", 181, 111},
    {"RightAlt", 184, 18},
    {"Home", 199, 12},
    {"Up", 200, 38},
    {"PageUp", 201, 33},
    {"Left", 203, 37},
    {"Right", 205, 39},
    {"End", 207, 35},
    {"Down", 208, 40},
    {"PageDown", 209, 34},
    {"Insert", 210, 45},
    {"Delete", 211, 46},
};

class MappedKeyTest : public ::testing::TestWithParam<ScanVkCase> {};

TEST_P(MappedKeyTest, HasItsVirtualKey) {
  EXPECT_EQ(ScanToVkTable[GetParam().scan], GetParam().vk);
}

INSTANTIATE_TEST_SUITE_P(ScanToVk, MappedKeyTest, ::testing::ValuesIn(kMappedKeys),
                         [](const auto& info) { return std::string(info.param.key); });

static_assert(std::size(kMappedKeys) == 102, "every mapped key is listed");

TEST(ScanToVkTableTest, Has102NonZeroEntries) {
  EXPECT_EQ(
      std::count_if(ScanToVkTable.begin(), ScanToVkTable.end(), [](uint8_t vk) { return vk != 0; }),
      102);
}

TEST(ScanToVkTableTest, EveryOtherCodeMapsToZero) {
  std::vector<bool> mapped(256, false);
  for (const ScanVkCase& key : kMappedKeys) mapped[key.scan] = true;
  for (int scan = 0; scan < 256; ++scan) {
    if (!mapped[scan]) {
      EXPECT_EQ(ScanToVkTable[scan], 0) << "code " << scan;
    }
  }
}

class UnmappedKeyTest : public ::testing::TestWithParam<int> {};

TEST_P(UnmappedKeyTest, MapsToZero) {
  EXPECT_EQ(ScanToVkTable[GetParam()], 0);
}

// Codes next to mapped ones, and the three named keys without a virtual key.
INSTANTIATE_TEST_SUITE_P(ScanToVk, UnmappedKeyTest,
                         ::testing::Values(0, 13, 40, 41, 56, 144, 145, 146, 255));

}  // namespace
}  // namespace cfg
