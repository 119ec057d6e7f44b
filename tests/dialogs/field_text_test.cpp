#include "dialogs/field_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "input/joystick.h"
#include "input/key_codes.h"

namespace cfg::testing {
namespace {

struct TextCase {
  const char* name;
  KeyBinding binding;
  std::string text;
};

const TextCase kTextCases[] = {
    {"KeyByItsName", {kKeyboardSource, dik::kZ, 0}, "z"},
    {"ArrowKeyInCp932", {kKeyboardSource, dik::kDown, 0}, "\x81\xAB"},
    {"KeyWithoutAName", {0, 300, 0}, ""},
    {"PadInputOfJoystick2", {2, 0x1, 0}, "PAD2:B1"},
    {"PadDirection", {1, static_cast<int32_t>(kPadRight), 0}, "PAD1:RIGHT"},
    {"TwoDigitButton", {4, 0x8000, 0}, "PAD4:B16"},
    {"SourceBeyondTheFourJoysticks", {7, 0x200, 0}, "PAD7:B10"},
    {"NegativeSource", {-12, 0x2, 0}, "PAD-12:B2"},
    {"LowestSource", {std::numeric_limits<int32_t>::min(), 0x4, 0}, "PAD-2147483648:B3"},
    {"PadChordNamesNothing", {1, 0x3, 0}, ""},
};

class BindingFieldTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(BindingFieldTextTest, NamesTheBindingAsItsFieldShowsIt) {
  EXPECT_EQ(BindingFieldText(GetParam().binding).view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Bindings, BindingFieldTextTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldTextTest, IsEmptyUntilGivenAText) {
  EXPECT_EQ(FieldText().view(), "");
}

TEST(FieldTextTest, HoldsTheLongestSourceWithTheLongestName) {
  const std::string name(31, 'n');
  EXPECT_EQ(FieldText::PadInput(std::numeric_limits<int32_t>::min(), name.c_str()).view(),
            "PAD-2147483648:" + name);
}

}  // namespace
}  // namespace cfg::testing
