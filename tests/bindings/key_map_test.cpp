#include "bindings/key_map.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace cfg {
namespace {

using KeyMapBytes = std::array<uint8_t, kKeyMapSize>;

void PutLe32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

struct OffsetCase {
  const char* name;
  int controller, position;
  size_t offset;
};

class StoreBindingTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(StoreBindingTest, WritesThreeLittleEndianWordsAtItsOffset) {
  KeyMapBytes map;
  map.fill(0xAA);
  StoreBinding(map.data(), GetParam().controller, GetParam().position,
               KeyBinding{0x01020304, -2, 0xA0B0C0D0});
  KeyMapBytes expected;
  expected.fill(0xAA);
  const uint8_t record[12] = {0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF,
                              0xFF, 0xFF, 0xD0, 0xC0, 0xB0, 0xA0};
  std::copy(std::begin(record), std::end(record), expected.begin() + GetParam().offset);
  EXPECT_EQ(map, expected);
}

TEST_P(StoreBindingTest, LoadsBackWhatWasStored) {
  KeyMapBytes map{};
  StoreBinding(map.data(), GetParam().controller, GetParam().position,
               KeyBinding{4, static_cast<int32_t>(0x80000), 7});
  const KeyBinding loaded = LoadBinding(map.data(), GetParam().controller, GetParam().position);
  EXPECT_EQ(loaded.source, 4);
  EXPECT_EQ(loaded.code, 0x80000);
  EXPECT_EQ(loaded.handler, 7u);
}

const OffsetCase kOffsetCases[] = {
    {"FirstUp", 0, 0, 0},      {"FirstB4", 0, 7, 84},   {"SecondUp", 1, 0, 96},
    {"ThirdRight", 2, 3, 228}, {"FourthB4", 3, 7, 372},
};

INSTANTIATE_TEST_SUITE_P(KeyMap, StoreBindingTest, ::testing::ValuesIn(kOffsetCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutsideCase {
  const char* name;
  int controller, position;
};

class OutsideKeyMapTest : public ::testing::TestWithParam<OutsideCase> {};

TEST_P(OutsideKeyMapTest, LoadsZeroAndStoresNothing) {
  KeyMapBytes map;
  map.fill(0x5A);
  const KeyBinding loaded = LoadBinding(map.data(), GetParam().controller, GetParam().position);
  EXPECT_EQ(loaded.source, 0);
  EXPECT_EQ(loaded.code, 0);
  EXPECT_EQ(loaded.handler, 0u);
  StoreBinding(map.data(), GetParam().controller, GetParam().position, KeyBinding{1, 2, 3});
  KeyMapBytes untouched;
  untouched.fill(0x5A);
  EXPECT_EQ(map, untouched);
}

const OutsideCase kOutsideCases[] = {
    {"ControllerMinusOne", -1, 0}, {"ControllerFour", 4, 0}, {"PositionMinusOne", 0, -1},
    {"PositionEight", 0, 8},       {"BothHuge", 1000, 1000},
};

INSTANTIATE_TEST_SUITE_P(KeyMap, OutsideKeyMapTest, ::testing::ValuesIn(kOutsideCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControllerBindingsTest, CopyAllNinetySixBytesOfOneController) {
  KeyMapBytes source;
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + 1);
  KeyMapBytes target{};
  StoreControllerBindings(target.data(), 2, LoadControllerBindings(source.data(), 2));
  for (size_t i = 0; i < target.size(); ++i) {
    const bool inController = i >= 192 && i < 288;
    EXPECT_EQ(target[i], inController ? source[i] : 0) << "byte " << i;
  }
}

TEST(SetBindingTest, KeepsTheHandlerWord) {
  KeyBinding binding{0, 44, 0x12345678};
  SetBinding(binding, 1, 0x10000);
  EXPECT_EQ(binding.source, 1);
  EXPECT_EQ(binding.code, 0x10000);
  EXPECT_EQ(binding.handler, 0x12345678u);
}

struct SourceCode {
  int32_t source, code;
};
using ControllerDefaults = std::array<SourceCode, kPositionCount>;
using DefaultMap = std::array<ControllerDefaults, kControllerCount>;

// Positions UP DOWN LEFT RIGHT B1 B2 B3 B4.
constexpr ControllerDefaults kArrowsZxcv = {
    {{0, 200}, {0, 208}, {0, 203}, {0, 205}, {0, 44}, {0, 45}, {0, 46}, {0, 47}}};
constexpr ControllerDefaults kJoystickOne = {{{1, 0x10000},
                                              {1, 0x20000},
                                              {1, 0x40000},
                                              {1, 0x80000},
                                              {1, 0x1},
                                              {1, 0x2},
                                              {1, 0x4},
                                              {1, 0x8}}};
constexpr ControllerDefaults kIkjlAsdf = {
    {{0, 23}, {0, 37}, {0, 36}, {0, 38}, {0, 30}, {0, 31}, {0, 32}, {0, 33}}};
constexpr ControllerDefaults k5try1234 = {
    {{0, 6}, {0, 20}, {0, 19}, {0, 21}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}};
constexpr ControllerDefaults kHomeEndDelPDown7890 = {
    {{0, 199}, {0, 207}, {0, 211}, {0, 209}, {0, 8}, {0, 9}, {0, 10}, {0, 11}}};

constexpr DefaultMap kKeyboardDefaults = {kArrowsZxcv, kIkjlAsdf, k5try1234, kHomeEndDelPDown7890};
constexpr DefaultMap kJoystickDefaults = {kJoystickOne, kIkjlAsdf, k5try1234, kHomeEndDelPDown7890};

std::vector<uint8_t> KeyMapImage(const DefaultMap& map) {
  std::vector<uint8_t> bytes;
  for (const ControllerDefaults& controller : map) {
    for (const SourceCode& binding : controller) {
      PutLe32(bytes, static_cast<uint32_t>(binding.source));
      PutLe32(bytes, static_cast<uint32_t>(binding.code));
      PutLe32(bytes, 0);  // handler
    }
  }
  return bytes;
}

struct DefaultsCase {
  const char* name;
  bool joystick1Present;
  const DefaultMap* expected;
};

class DefaultKeyMapsTest : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(DefaultKeyMapsTest, EverySlotHoldsTheDefaultsByteForByte) {
  SettingsRecord record;
  record.bytes.fill(0xAA);
  BuildDefaultKeyMaps(record, GetParam().joystick1Present);
  const std::vector<uint8_t> image = KeyMapImage(*GetParam().expected);
  std::vector<uint8_t> expected(kSettingsRecordSize, 0xAA);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    std::copy(image.begin(), image.end(), expected.begin() + record_offset::KeyMap(slot));
  }
  for (size_t offset = 0; offset < kSettingsRecordSize; ++offset) {
    ASSERT_EQ(record.bytes[offset], expected[offset]) << "record byte " << offset;
  }
}

const DefaultsCase kDefaultsCases[] = {
    {"NoJoystick", false, &kKeyboardDefaults},
    {"JoystickOne", true, &kJoystickDefaults},
};

INSTANTIATE_TEST_SUITE_P(KeyMap, DefaultKeyMapsTest, ::testing::ValuesIn(kDefaultsCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg
