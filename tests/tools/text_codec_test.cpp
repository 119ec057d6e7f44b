#include "settings/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/kvset/text_decode.h"

namespace cfg {
namespace {

using namespace std::string_literals;

// A second byte 0x5C and a half-width katakana, both ways; text without a
// counterpart gives nothing.
TEST(TextCodecTest, ConvertsBothWaysOrGivesNothing) {
  EXPECT_EQ(Utf8FromCp932("PAD2:\x95\x5C\xB1"), u8"PAD2:表ｱ");
  EXPECT_EQ(Cp932FromUtf8(u8"PAD2:表ｱ"), "PAD2:\x95\x5C\xB1");
  EXPECT_EQ(Utf8FromCp932("A\x81"), std::nullopt);  // a lead byte without its second byte
  EXPECT_EQ(Cp932FromUtf8(u8"\U0001F600"), std::nullopt);
}

// The bytes of an import text, and the UTF-8 read from them; what is no
// well-formed UTF-8 is read as code page 932.
enum Reading { kItself, kAsGiven, kAsCp932, kRefused };

struct AnyTextCase {
  const char* name;
  std::string bytes;
  Reading reading = kItself;
  std::string utf8 = "";  // kAsGiven
};

class AnyTextTest : public ::testing::TestWithParam<AnyTextCase> {};

TEST_P(AnyTextTest, DecodesToUtf8) {
  const AnyTextCase& row = GetParam();
  const std::optional<std::string> expected[] = {row.bytes, row.utf8, Utf8FromCp932(row.bytes),
                                                 std::nullopt};
  if (row.reading == kAsCp932) {
    ASSERT_NE(expected[kAsCp932], row.bytes) << "the row cannot tell";
  }

  EXPECT_EQ(Utf8FromAnyText(row.bytes), expected[row.reading]);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AnyTextTest,
    ::testing::ValuesIn(std::vector<AnyTextCase>{
        {"Ascii", "UP=z\n"},
        {"Utf8Mark",
         "\xEF\xBB\xBF"
         "A\xC3\xA9",
         kAsGiven, u8"Aé"},
        {"Utf8MarkThenNoUtf8", "\xEF\xBB\xBF\xFF", kRefused},
        {"TwoBytesLowest", "\xC2\x80"},
        {"TwoBytesOverlong", "\xC1\xBF", kAsCp932},
        {"ThreeBytesLowest", "\xE0\xA0\x80"},
        {"ThreeBytesOverlong", "\xE0\x9F\xBF", kAsCp932},
        {"BeforeSurrogates", "\xED\x9F\xBF"},
        {"Surrogate", "\xED\xA0\x80", kAsCp932},
        {"AfterSurrogates", "\xEE\x80\x80"},
        {"ThreeBytesHighest", "\xEF\xBF\xBF"},
        {"FourBytesLowest", "\xF0\x90\x80\x80"},
        {"FourBytesOverlong", "\xF0\x8F\xBF\xBF", kAsCp932},
        {"Highest", "\xF4\x8F\xBF\xBF"},
        {"AboveHighest", "\xF4\x90\x80\x80", kAsCp932},
        {"LeadF5", "\xF5\x80\x80\x80", kAsCp932},
        {"CutShort", "A\xE3\x81", kAsCp932},
        {"NoContinuation", "\xC3\x28", kAsCp932},
        {"Cp932", "\x81\xA9", kAsGiven, u8"←"},
        {"Utf16Le",
         "\xFF\xFE"
         "A\0\xE9\0"s,
         kAsGiven, u8"Aé"},
        {"Utf16BeEdges", "\xFE\xFF\x00\x7F\x00\x80\x07\xFF\x08\x00\xD7\xFF\xE0\x00\xFF\xFF"s,
         kAsGiven, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
        {"Utf16LowestPair", "\xFE\xFF\xD8\x00\xDC\x00"s, kAsGiven, "\xF0\x90\x80\x80"},
        {"Utf16HighestPair", "\xFF\xFE\xFF\xDB\xFF\xDF", kAsGiven, "\xF4\x8F\xBF\xBF"},
        {"Utf16OddLength",
         "\xFF\xFE"
         "A",
         kRefused},
        {"Utf16LoneLow", "\xFE\xFF\xDC\x00"s, kRefused},
        {"Utf16LoneLowHighest", "\xFE\xFF\xDF\xFF", kRefused},
        {"Utf16HighAtTheEnd", "\xFE\xFF\xD8\x00"s, kRefused},
        {"Utf16HighThenNoLow", "\xFE\xFF\xDB\xFF\xE0\x00"s, kRefused},
        {"Utf16HighThenHigh", "\xFE\xFF\xD8\x00\xDB\xFF"s, kRefused},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
