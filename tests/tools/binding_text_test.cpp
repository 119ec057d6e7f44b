#include "tools/kvset/binding_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/text_codec.h"
#include "tools/kvset/suggestion.h"

namespace cfg {
namespace {

// A text (CP932) that names an input, how kvset writes that input back, or a
// text that names none (`shown` empty).
struct TextCase {
  const char* name;
  std::string text;
  std::string shown = "";
  int32_t source = 0;
  int32_t code = 0;
};

class BindingTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(BindingTextTest, ReadsTheInputAndWritesItsOwnSpelling) {
  const std::optional<KeyBinding> parsed = ParseBindingText(GetParam().text);

  ASSERT_EQ(parsed.has_value(), !GetParam().shown.empty());
  if (!parsed) return;
  EXPECT_EQ(parsed->source, GetParam().source);
  EXPECT_EQ(parsed->code, GetParam().code);
  EXPECT_EQ(BindingText(*parsed), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, BindingTextTest,
                         ::testing::ValuesIn(std::vector<TextCase>{
                             {"Letter", "z", "z", 0, 44},
                             {"DownArrow", "\x81\xAB", "\x81\xAB", 0, 208},
                             {"ArrowWord", "RIGHT", "\x81\xA8", 0, 205},
                             {"Yen", "\x5C", "\x5C", 0, 125},
                             {"LowerName", "home", "Home", 0, 199},
                             {"Cleared", "NONE", "none", 0, 0},
                             {"KeyCode", "KEY:300", "key:300", 0, 300},
                             {"HexKey", "key:0x2c", "z", 0, 44},
                             {"NegativeKey", "key:-2147483648", "key:-2147483648", 0, INT32_MIN},
                             {"KeyOf16Digits", "key:0000000000000001", "key:1", 0, 1},
                             {"PadButton", "PAD1:b1", "PAD1:B1", 1, 0x1},
                             {"PadDirection", "pad4:up", "PAD4:UP", 4, 0x10000},
                             {"PadButton16", "pad2:B16", "PAD2:B16", 2, 0x8000},
                             {"PadDecimalMask", "pad3:48", "PAD3:0x30", 3, 0x30},
                             {"PadHighBit", "pad1:0xFFFFFFFF", "PAD1:0xFFFFFFFF", 1, -1},
                             {"SourceOutOfRange", "source5:0x5", "source5:0x5", 5, 5},
                             {"NegativeSource", "source-1:-1", "source-1:0xFFFFFFFF", -1, -1},
                             {"UnknownName", "zz"},
                             {"Joystick0", "pad0:B1"},
                             {"Joystick5", "pad5:B1"},
                             {"NoColon", "pad2B1"},
                             {"UnknownPadInput", "pad2:B17"},
                             {"EmptyCode", "key:"},
                             {"KeyOf17Digits", "key:00000000000000001"},
                             {"AboveInt32", "key:2147483648"},
                             {"BelowInt32", "key:-2147483649"},
                             {"Above32Bits", "key:0x100000000"},
                             {"NegativeHex", "key:0x-1"},
                             {"SourceWithoutCode", "source7"},
                             {"SourceBadCode", "source1:x"},
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

struct SlipCase {
  const char* name;
  std::string word;
  std::string suggestion;  // empty: none
};

class SuggestionTest : public ::testing::TestWithParam<SlipCase> {};

TEST_P(SuggestionTest, NamesTheNearestWordWithinTheSlipsAllowed) {
  const std::vector<std::string> names = {"show", "check", "export", "import", "Home", "z"};
  const std::string suggestion = GetParam().suggestion;

  EXPECT_EQ(DidYouMean(GetParam().word, names),
            suggestion.empty() ? "" : " (did you mean " + suggestion + "?)");
}

INSTANTIATE_TEST_SUITE_P(Words, SuggestionTest,
                         ::testing::ValuesIn(std::vector<SlipCase>{
                             {"Swap", "hmoe", "Home"},
                             {"SwapAtTheStart", "hsow", "show"},
                             {"SwapAtTheEnd", "shwo", "show"},
                             {"Insertion", "cheeck", "check"},
                             {"Deletion", "chck", "check"},
                             {"Substitution", "CHECH", "check"},
                             {"TwoSlipsInSixLetters", "ekbort", "export"},
                             {"TwoSlipsInFiveLetters", "chakk", ""},
                             {"FirstOfTwoAsNear", "ixport", "export"},
                             {"WholeNameReplaced", "q", ""},
                             {"FarOff", "window", ""},
                         }),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
