#include "settings/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cfg {
namespace {

struct CodecCase {
  const char* name;
  std::string cp932;
  std::string utf8;
};

class TextCodecTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(TextCodecTest, ConvertsBothWays) {
  EXPECT_EQ(Utf8FromCp932(GetParam().cp932), GetParam().utf8);
  EXPECT_EQ(Cp932FromUtf8(GetParam().utf8), GetParam().cp932);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextCodecTest,
                         ::testing::ValuesIn(std::vector<CodecCase>{
                             {"Empty", "", ""},
                             {"Ascii", "PAD2:B1", "PAD2:B1"},
                             {"Arrows", "\x81\xAA\x81\xAB\x81\xA9\x81\xA8", u8"↑↓←→"},
                             {"SecondByte5C", "\x95\x5C", u8"表"},
                             {"HalfWidthKatakana", "\xB1", u8"ｱ"},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST(TextCodecFailureTest, TextWithoutACounterpartGivesNothing) {
  EXPECT_EQ(Utf8FromCp932("A\x81"), std::nullopt);  // a lead byte without its second byte
  EXPECT_EQ(Cp932FromUtf8(u8"\U0001F600"), std::nullopt);
  EXPECT_EQ(Cp932FromUtf8("\xC3"), std::nullopt);  // broken UTF-8
}

}  // namespace
}  // namespace cfg
