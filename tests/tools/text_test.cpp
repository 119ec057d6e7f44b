// The words kvset reads: inputs, slips of the pen, and texts in any encoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/text_codec.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/suggestion.h"
#include "tools/kvset/text_decode.h"

namespace cfg {
namespace {

using namespace std::string_literals;

// A text (CP932) naming an input, and how kvset writes it back (its source and code show).
TEST(BindingTextTest, ReadsTheInputAndWritesItsOwnSpelling) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"z", "z"},
      {"\x81\xAB", "\x81\xAB"},
      {"RIGHT", "\x81\xA8"},
      {"\x5C", "\x5C"},
      {"home", "Home"},
      {"NONE", "none"},
      {"KEY:300", "key:300"},
      {"key:0x2c", "z"},
      {"key:-2147483648", "key:-2147483648"},
      {"key:2147483647", "key:2147483647"},
      {"key:0000000000000001", "key:1"},  // 16 digits
      {"PAD1:b1", "PAD1:B1"},
      {"pad4:up", "PAD4:UP"},
      {"pad2:B16", "PAD2:B16"},
      {"pad3:48", "PAD3:0x30"},
      {"pad2:3", "PAD2:0x3"},
      {"pad1:0xFFFFFFFF", "PAD1:0xFFFFFFFF"},
      {"source5:0x5", "source5:0x5"},
      {"source-1:-1", "source-1:0xFFFFFFFF"},
  };
  // `kvset keys` lists these: each must bind the key it names.
  for (const std::string& name : KeyNamesUtf8()) {
    cases.emplace_back(Cp932FromUtf8(name).value_or(""), Cp932FromUtf8(name).value_or(""));
  }
  for (const auto& [text, shown] : cases) {
    const std::optional<KeyBinding> parsed = ParseBindingText(text);

    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(BindingText(*parsed), shown) << text;
  }
}

TEST(BindingTextTest, ReadsNoInputFromTheseTexts) {
  for (const char* text : {"zz", "pad0:B1", "pad5:B1", "pad2B1", "pad2:B17",
                           "key:", "key:00000000000000001", "key:2147483648", "key:-2147483649",
                           "key:0x100000000", "key:0x-1", "source7", "source1:x", "key:1 "}) {
    EXPECT_EQ(ParseBindingText(text), std::nullopt) << text;
  }
}

TEST(SuggestionTest, NamesTheNearestWordWithinTheSlipsAllowed) {
  const std::vector<std::string> names = {"show", "check", "export", "import", "Home", "z"};
  // Slips allowed: one up to five letters, two from six; the first of two as near; never all.
  const std::pair<std::string, std::string> cases[] = {
      {"hmoe", "Home"},     {"hsow", "show"},   {"shwo", "show"}, {"cheeck", "check"},
      {"chck", "check"},    {"CHECH", "check"}, {"chakk", ""},    {"ekbort", "export"},
      {"ixport", "export"}, {"q", ""},          {"window", ""},   {"showw", "show"},
      {"exportxyz", ""},
  };
  for (const auto& [word, name] : cases) {
    EXPECT_EQ(DidYouMean(word, names), name.empty() ? "" : " (did you mean " + name + "?)") << word;
  }
}

// Import texts: well-formed UTF-8 as it is (less its mark), UTF-16 by its mark, else CP932.
TEST(AnyTextTest, DecodesToUtf8) {
  for (const char* bytes : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                            "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_EQ(Utf8FromAnyText(bytes), bytes) << ::testing::PrintToString(bytes);
  }
  // Overlong forms, a surrogate, past U+10FFFF, cut short.
  for (const char* bytes : {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                            "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "A\xE3\x81", "\xC3\x28"}) {
    EXPECT_EQ(Utf8FromAnyText(bytes), Utf8FromCp932(bytes)) << ::testing::PrintToString(bytes);
  }
  const std::pair<std::string, std::string> decoded[] = {
      {"\xEF\xBB\xBF"s + "A\xC3\xA9", u8"Aé"},
      // A second byte 0x5C and a half-width katakana.
      {"PAD2:\x95\x5C\xB1", u8"PAD2:表ｱ"},
      {"\xFF\xFE"s + "A\0\xE9\0"s, u8"Aé"},
      {"\xFE\xFF\x00\x7F\x00\x80\x07\xFF\x08\x00\xD7\xFF\xE0\x00\xFF\xFF"s,
       "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
      {"\xFE\xFF\xD8\x00\xDC\x00\xD8\x3D\xDE\x00"s, "\xF0\x90\x80\x80\xF0\x9F\x98\x80"},
      {"\xFF\xFE\xFF\xDB\xFF\xDF", "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& [bytes, utf8] : decoded) {
    EXPECT_EQ(Utf8FromAnyText(bytes), utf8) << ::testing::PrintToString(bytes);
  }
  // Not UTF-8 after its mark, a lone CP932 lead byte, odd UTF-16, lone surrogates.
  for (const std::string& bytes :
       {"\xEF\xBB\xBF\xFF"s, "A\x81"s, "\xFF\xFE"s + "A", "\xFE\xFF\xDC\x00"s, "\xFE\xFF\xDF\xFF"s,
        "\xFE\xFF\xD8\x00"s, "\xFE\xFF\xDB\xFF\xE0\x00"s, "\xFE\xFF\xD8\x00\xDB\xFF"s}) {
    EXPECT_EQ(Utf8FromAnyText(bytes), std::nullopt) << ::testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace cfg
