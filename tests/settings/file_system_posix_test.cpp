#include "settings/file_system_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/settings/store_fixture.h"
#include "tests/settings/temporary_folder.h"

namespace cfg {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Enter(""); }

  bool WriteThrough(const std::string& path, const std::string& bytes) {
    const FileSystem::Handle file = files_.FileCreateNew(path);
    if (file == FileSystem::kNoHandle) return false;
    const uint32_t written = files_.FileWrite(file, bytes.data(), bytes.size());
    return files_.FileClose(file) && written == bytes.size();
  }

  TemporaryFolder folder_;
  PosixFileSystem files_;
};

struct PathCase {
  const char* name;
  std::string folder;  // UTF-8, made beforehand
  std::string path;    // CP932, as the program writes it
  std::string file;    // UTF-8, where the bytes must land
};

class PosixPathTest : public PosixFileSystemTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PosixPathTest, Cp932BackslashPathReachesTheUtf8File) {
  folder_.MakeFolder(GetParam().folder);

  ASSERT_TRUE(WriteThrough(GetParam().path, "bytes"));

  EXPECT_EQ(folder_.ReadFile(GetParam().file), "bytes");
}

INSTANTIATE_TEST_SUITE_P(Paths, PosixPathTest,
                         ::testing::ValuesIn(std::vector<PathCase>{
                             {"Ascii", "Data", ".\\Data\\KV.set", "Data/KV.set"},
                             {"Kanji5CFolder", u8"表", "表\\ソ.bin", u8"表/ソ.bin"},
                             {"Two5CCharacters", u8"表ソ", ".\\表ソ\\x", u8"表ソ/x"},
                             {"HalfWidthKana", u8"ｱ", "ｱ\\y", u8"ｱ/y"},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST_F(PosixFileSystemTest, UnconvertiblePathOpensNothing) {
  const std::string bad = "bad\xFF\xFF";
  EXPECT_EQ(files_.FileOpenRead(bad), FileSystem::kNoHandle);
  EXPECT_EQ(files_.FileCreateNew(bad), FileSystem::kNoHandle);
  EXPECT_FALSE(files_.ChangeDirectory(bad));
  EXPECT_TRUE(std::filesystem::is_empty(folder_.Path("")));
}

TEST_F(PosixFileSystemTest, FolderIsNoFileToRead) {
  folder_.MakeFolder("KV.set");
  EXPECT_EQ(files_.FileOpenRead("KV.set"), FileSystem::kNoHandle);
}

TEST_F(PosixFileSystemTest, ReadsBackSizeAndBytes) {
  folder_.WriteFile("f", "0123456789");
  const FileSystem::Handle file = files_.FileOpenRead("f");
  ASSERT_NE(file, FileSystem::kNoHandle);
  char buffer[16] = {};

  EXPECT_EQ(files_.FileGetSize(file), 10u);
  EXPECT_EQ(files_.FileRead(file, buffer, 4), 4u);
  EXPECT_EQ(files_.FileRead(file, buffer + 4, 16), 6u);
  EXPECT_EQ(files_.FileRead(file, buffer, 16), 0u);
  EXPECT_TRUE(files_.FileClose(file));
  EXPECT_EQ(std::string(buffer), "0123456789");
  EXPECT_FALSE(files_.FileClose(FileSystem::kNoHandle));
}

TEST_F(PosixFileSystemTest, ReplaceMovesTheFileIntoPlace) {
  folder_.WriteFile("new", "new");
  folder_.WriteFile("old", "old");

  EXPECT_TRUE(files_.FileReplace("new", "old"));

  EXPECT_EQ(folder_.ReadFile("old"), "new");
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("new")));
}

TEST_F(PosixFileSystemTest, ReplaceLeavesAReadOnlyTargetAlone) {
  folder_.WriteFile("new", "new");
  folder_.WriteFile("old", "old");
  std::filesystem::permissions(folder_.Path("old"), std::filesystem::perms::owner_read);

  EXPECT_FALSE(files_.FileReplace("new", "old"));

  EXPECT_EQ(folder_.ReadFile("old"), "old");
  EXPECT_EQ(folder_.ReadFile("new"), "new");
}

TEST_F(PosixFileSystemTest, CurrentDirectoryIsCp932) {
  folder_.MakeFolder(u8"表");
  ASSERT_TRUE(files_.ChangeDirectory("表"));

  const std::string current = files_.CurrentDirectory();

  ASSERT_GE(current.size(), 3u);
  EXPECT_EQ(current.substr(current.size() - 3), "/\x95\x5C");
}

// The safe save end to end on a real disk.
class PosixSaveTest : public StoreFixture, public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile("Data/KV.set", std::string(oldFile_.begin(), oldFile_.end()));
    folder_.Enter("");
    FillRecord(store_.record(), newFile_);
  }

  TemporaryFolder folder_;
  PosixFileSystem disk_;
  const std::vector<uint8_t> oldFile_ = PatternBytes(4684, 30);
  const std::vector<uint8_t> newFile_ = PatternBytes(4684, 31);
};

TEST_F(PosixSaveTest, ReplacesKvSetWholeAndLeavesNoTemporaryFile) {
  EXPECT_TRUE(store_.SaveSettingsFile(disk_, ".\\Data\\"));

  EXPECT_EQ(folder_.ReadFile("Data/KV.set"), std::string(newFile_.begin(), newFile_.end()));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("Data/KV.set.tmp")));
}

TEST_F(PosixSaveTest, ReadOnlyKvSetStaysAsItWas) {
  chmod(folder_.Path("Data/KV.set").c_str(), 0444);

  EXPECT_FALSE(store_.SaveSettingsFile(disk_, ".\\Data\\"));

  EXPECT_EQ(folder_.ReadFile("Data/KV.set"), std::string(oldFile_.begin(), oldFile_.end()));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("Data/KV.set.tmp")));
}

TEST_F(PosixSaveTest, MissingFolderIsNotCreated) {
  EXPECT_FALSE(store_.SaveSettingsFile(disk_, ".\\Missing\\"));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("Missing")));
}

}  // namespace
}  // namespace cfg
