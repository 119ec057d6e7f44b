#include "tools/kvset/binding_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/text_codec.h"

namespace cfg {
namespace {

struct TextCase {
  const char* name;
  int32_t source;
  int32_t code;
  std::string text;  // CP932
};

class BindingTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(BindingTextTest, WritesTheTextAndReadsItBackToTheSameSourceAndCode) {
  KeyBinding binding;
  SetBinding(binding, GetParam().source, GetParam().code);

  EXPECT_EQ(BindingText(binding), GetParam().text);
  const std::optional<KeyBinding> parsed = ParseBindingText(GetParam().text);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->source, GetParam().source);
  EXPECT_EQ(parsed->code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Forms, BindingTextTest,
                         ::testing::ValuesIn(std::vector<TextCase>{
                             {"Letter", 0, 44, "z"},
                             {"DownArrow", 0, 208, "\x81\xAB"},
                             {"Yen", 0, 125, "\x5C"},
                             {"BackslashWord", 0, 43, "backslash"},
                             {"Home", 0, 199, "Home"},
                             {"Cleared", 0, 0, "none"},
                             {"KeyWithoutName", 0, 300, "key:300"},
                             {"NegativeKey", 0, -1, "key:-1"},
                             {"PadButton", 2, 0x1, "PAD2:B1"},
                             {"PadDirection", 1, 0x10000, "PAD1:UP"},
                             {"PadButton16", 4, 0x8000, "PAD4:B16"},
                             {"PadTwoBits", 2, 0x30, "PAD2:0x30"},
                             {"PadNoBits", 3, 0, "PAD3:0x0"},
                             {"SourceOutOfRange", 7, 5, "source7:0x5"},
                             {"NegativeSource", -1, -1, "source-1:0xFFFFFFFF"},
                         }),
                         [](const auto& info) { return info.param.name; });

struct SpellingCase {
  const char* name;
  std::string text;
  int32_t source;
  int32_t code;
};

class BindingSpellingTest : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(BindingSpellingTest, OtherSpellingsNameTheSameInput) {
  const std::optional<KeyBinding> parsed = ParseBindingText(GetParam().text);

  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->source, GetParam().source);
  EXPECT_EQ(parsed->code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Spellings, BindingSpellingTest,
                         ::testing::ValuesIn(std::vector<SpellingCase>{
                             {"LowerPad", "pad2:b3", 2, 0x4},
                             {"MixedPad", "Pad1:Up", 1, 0x10000},
                             {"UpperKeyPrefix", "KEY:208", 0, 208},
                             {"HexKey", "key:0x2C", 0, 44},
                             {"DecimalMask", "pad3:48", 3, 0x30},
                             {"UpperNone", "NONE", 0, 0},
                             {"HighBitMask", "pad1:0x80000000", 1, INT32_MIN},
                             {"UpperKeyName", "Z", 0, 44},
                             {"LowerKeyName", "home", 0, 199},
                             {"ArrowWord", "up", 0, 200},
                             {"UpperArrowWord", "RIGHT", 0, 205},
                         }),
                         [](const auto& info) { return info.param.name; });

struct RejectCase {
  const char* name;
  std::string text;
};

class BindingRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(BindingRejectTest, NamesNoInput) {
  EXPECT_FALSE(ParseBindingText(GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(Rejected, BindingRejectTest,
                         ::testing::ValuesIn(std::vector<RejectCase>{
                             {"Empty", ""},
                             {"UnknownName", "zz"},
                             {"Joystick0", "pad0:B1"},
                             {"Joystick5", "pad5:B1"},
                             {"NoPadInput", "pad2:"},
                             {"NoColon", "pad2B1"},
                             {"UnknownPadInput", "pad2:B17"},
                             {"EmptyCode", "key:"},
                             {"Letters", "key:abc"},
                             {"AboveInt32", "key:2147483648"},
                             {"Above32Bits", "key:0x100000000"},
                             {"NegativeHex", "key:0x-1"},
                             {"SourceWithoutCode", "source7"},
                             {"TrailingSpace", "key:1 "},
                         }),
                         [](const auto& info) { return info.param.name; });

// `kvset keys` lists these: each must bind the key it names.
TEST(KeyNamesTest, EveryListedNameReadsBackAsItsOwnKey) {
  for (const std::string& name : KeyNamesUtf8()) {
    const std::string text = Cp932FromUtf8(name).value_or("");
    const std::optional<KeyBinding> parsed = ParseBindingText(text);

    ASSERT_TRUE(parsed.has_value()) << name;
    EXPECT_EQ(BindingText(*parsed), text) << name;
  }
}

TEST(PositionNameTest, EveryPositionReadsBackInAnyCase) {
  const std::vector<std::string> names = {"UP", "DOWN", "LEFT", "RIGHT", "B1", "B2", "B3", "B4"};
  for (int position = 0; position < kPositionCount; ++position) {
    EXPECT_EQ(PositionName(position), names[position]);
    EXPECT_EQ(ParsePositionName(names[position]), position);
  }
  EXPECT_EQ(ParsePositionName("down"), 1);
  EXPECT_EQ(ParsePositionName("B5"), std::nullopt);
}

}  // namespace
}  // namespace cfg
