#include "dialogs/field_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace cfg {
namespace {

struct TextCase {
  const char* name;
  KeyBinding binding;
  const char* text;
};

const TextCase kTextCases[] = {
    {"Key", {0, 44, 0}, "z"},
    {"KeyWithoutName", {0, 1, 0}, ""},
    {"PadInput", {1, static_cast<int32_t>(kPadUp), 0}, "PAD1:UP"},
    {"PadInputOfAnySource", {INT_MIN, 0x8000, 0}, "PAD-2147483648:B16"},
    {"PadChord", {2, 0x3, 0}, ""},
    {"PadCodeOfAKey", {3, 44, 0}, ""},
};

class BindingTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(BindingTextTest, NamesTheKeyOrThePadInput) {
  EXPECT_EQ(BindingFieldText(GetParam().binding).view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Bindings, BindingTextTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldTextTest, AnOverlongNameIsCutToTheStorage) {
  const std::string name(60, 'n');
  const std::string text(FieldText::PadInput(INT_MIN, name.c_str()).view());
  EXPECT_EQ(text, ("PAD-2147483648:" + name).substr(0, 48));
}

}  // namespace
}  // namespace cfg
