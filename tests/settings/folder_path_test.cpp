#include "settings/folder_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cfg {
namespace {

struct FolderCase {
  const char* name;
  std::string folder;
  bool endsWithBackslash;
};

class FolderPathTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderPathTest, LooksAtTheLastCharacterNotTheLastByte) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(EndsWithBackslash(c.folder), c.endsWithBackslash);
  const std::string closed = WithTrailingBackslash(c.folder);
  EXPECT_EQ(closed, c.endsWithBackslash ? c.folder : c.folder + "\\");
  EXPECT_EQ(WithTrailingBackslash(closed), closed);
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderPathTest,
                         ::testing::ValuesIn(std::vector<FolderCase>{
                             {"Backslash", "\\", true},
                             {"DriveRoot", "C:\\", true},
                             {"Plain", "C:\\Game", false},
                             {"TwoBackslashes", ".\\Data\\\\", true},
                             {"Kanji5C", "C:\\ゲーム\\表", false},
                             {"Kanji5CAlone", "表", false},
                             {"Katakana5CThenBackslash", "ソ\\", true},
                             {"TwoKanji5C", "表ソ", false},
                             {"HalfWidthKanaThenBackslash", "\xB1\\", true},
                             {"LeadByteE0Range", "\xE0\x5C", false},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST(FolderPathEdgeTest, LoneLeadByteAtTheEndIsNoBackslash) {
  EXPECT_FALSE(EndsWithBackslash("a\x95"));
  EXPECT_EQ(WithTrailingBackslash("a\x95"), "a\x95\\");
}

TEST(FolderPathEdgeTest, EmptyFolderStaysEmpty) {
  EXPECT_FALSE(EndsWithBackslash(""));
  EXPECT_EQ(WithTrailingBackslash(""), "");
}

}  // namespace
}  // namespace cfg
