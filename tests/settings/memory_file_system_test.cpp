// The fake's path rules, which the other tests rely on.
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cfg {
namespace {

struct AbsoluteCase {
  const char* name;
  std::string path;
  std::string absolute;
};

class MemoryFileSystemPathTest : public ::testing::TestWithParam<AbsoluteCase> {};

TEST_P(MemoryFileSystemPathTest, ResolvesAgainstTheCurrentDirectory) {
  const MemoryFileSystem files("C:\\Game\\Bin");
  EXPECT_EQ(files.Absolute(GetParam().path), GetParam().absolute);
}

INSTANTIATE_TEST_SUITE_P(Paths, MemoryFileSystemPathTest,
                         ::testing::ValuesIn(std::vector<AbsoluteCase>{
                             {"Dot", ".\\Data\\KV.set", "C:\\Game\\Bin\\Data\\KV.set"},
                             {"Bare", "KV.set", "C:\\Game\\Bin\\KV.set"},
                             {"Parent", "..\\Data\\", "C:\\Game\\Data"},
                             {"PastRoot", "..\\..\\..\\..\\x", "C:\\x"},
                             {"DriveRoot", "\\x", "C:\\x"},
                             {"OtherDrive", "D:\\x\\.\\y", "D:\\x\\y"},
                             {"Slashes", "Data/KV.set", "C:\\Game\\Bin\\Data\\KV.set"},
                             {"Kanji5C", "表\\ソ", "C:\\Game\\Bin\\表\\ソ"},
                             {"CaseKept", "kv.SET", "C:\\Game\\Bin\\kv.SET"},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST(MemoryFileSystemTest, FoldersMustExist) {
  MemoryFileSystem files("C:\\Game");

  EXPECT_EQ(files.FileCreateNew("Missing\\f"), FileSystem::kNoHandle);
  EXPECT_FALSE(files.ChangeDirectory("Missing"));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\Game");
  EXPECT_TRUE(files.ListFiles().empty());
}

}  // namespace
}  // namespace cfg
