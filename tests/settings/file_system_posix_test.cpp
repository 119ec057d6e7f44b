#include "settings/file_system_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "settings/settings_store.h"
#include "tests/settings/temporary_folder.h"

namespace cfg {
namespace {

namespace fs = std::filesystem;

// Runs in a fresh folder, with the relative UTF-8 names of TemporaryFolder.
class PosixTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Enter(""); }
  static std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }

  TemporaryFolder folder_;
  PosixFileSystem files_;
};

struct PathRow {
  const char* name;
  std::string path;  // CP932, as the program writes it
  std::string file;  // UTF-8, where the bytes land
};

class PosixPathTest : public PosixTest, public ::testing::WithParamInterface<PathRow> {};

TEST_P(PosixPathTest, Cp932BackslashPathReachesTheUtf8File) {
  fs::create_directories(fs::u8path(GetParam().file).parent_path());
  const FileSystem::Handle file = files_.FileCreateNew(GetParam().path);
  ASSERT_NE(file, FileSystem::kNoHandle);
  EXPECT_EQ(files_.FileWrite(file, "bytes", 5), 5u);
  EXPECT_TRUE(files_.FileClose(file));

  EXPECT_EQ(folder_.ReadFile(GetParam().file), "bytes");
  EXPECT_EQ(files_.FileCreateNew(GetParam().path), FileSystem::kNoHandle);
  EXPECT_EQ(files_.LastFault().cause, FileError::kExists);
}

INSTANTIATE_TEST_SUITE_P(Paths, PosixPathTest,
                         ::testing::ValuesIn(std::vector<PathRow>{
                             {"Ascii", ".\\Data\\KV.set", "Data/KV.set"},
                             {"Kanji5C", "表\\ソ.bin", u8"表/ソ.bin"},
                             {"HalfWidthKana", "ｱ\\y", u8"ｱ/y"},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST_F(PosixTest, WhatIsNoFileIsRefusedAndSaysWhy) {
  fs::create_directory("folder");
  fs::create_symlink("gone", "link");
  EXPECT_EQ(files_.FileOpenRead("folder"), FileSystem::kNoHandle);
  EXPECT_EQ(files_.LastFault().cause, FileError::kNotAFile);
  EXPECT_EQ(files_.FileOpenRead("missing"), FileSystem::kNoHandle);
  EXPECT_EQ(files_.LastFault().cause, FileError::kNoFolder);
  EXPECT_FALSE(files_.FileDelete("missing"));
  EXPECT_FALSE(files_.FileClose(FileSystem::kNoHandle));
  // A link in the way of a new file is not followed.
  EXPECT_EQ(files_.FileCreateNew("link"), FileSystem::kNoHandle);
  EXPECT_EQ(files_.LastFault().cause, FileError::kExists);
  const std::string bad = "bad\xFF\xFF";  // no CP932
  EXPECT_EQ(files_.FileOpenRead(bad), FileSystem::kNoHandle);
  EXPECT_EQ(files_.FileCreateNew(bad), FileSystem::kNoHandle);
  EXPECT_FALSE(files_.ChangeDirectory(bad));
  EXPECT_EQ(Names("."), (std::set<std::string>{"folder", "link"}));
}

TEST_F(PosixTest, CurrentDirectoryIsCp932AndMayBeLong) {
  const std::string deep = std::string(250, 'd') + u8"/表";
  fs::create_directories(fs::u8path(deep));
  ASSERT_TRUE(files_.ChangeDirectory(std::string(250, 'd') + "\\表"));

  const std::string current = files_.CurrentDirectory();

  EXPECT_EQ(current,
            fs::canonical(folder_.Path("")).string() + "/" + std::string(250, 'd') + "/\x95\x5C");
}

TEST_F(PosixTest, FinalPathFollowsFortyLinks) {
  for (int i = 0; i < 40; ++i)
    fs::create_symlink(i == 39 ? "end" : "l" + std::to_string(i + 1), "l" + std::to_string(i));
  EXPECT_EQ(files_.FinalPath("l0"), "end");
}

TEST_F(PosixTest, ChangeLockExcludesOthersUntilUnlocked) {
  fs::create_directory("Data");
  const FileSystem::Handle lock = files_.LockForChange("Data\\KV.set");
  ASSERT_NE(lock, FileSystem::kNoHandle);
  const int other = open("Data", O_RDONLY | O_DIRECTORY);

  EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
  files_.Unlock(lock);
  EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  close(other);
}

// Started with its standard input closed, the process gets descriptor 0 for a file.
TEST_F(PosixTest, DescriptorZeroIsAFileLikeAnyOther) {
  folder_.WriteFile("f", "x");
  const int input = dup(0);
  close(0);
  const FileSystem::Handle file = files_.FileOpenRead("f");
  EXPECT_NE(file, FileSystem::kNoHandle);
  if (file != FileSystem::kNoHandle) files_.FileClose(file);
  const FileSystem::Handle lock = files_.LockForChange("f");
  EXPECT_NE(lock, FileSystem::kNoHandle);
  if (lock != FileSystem::kNoHandle) files_.Unlock(lock);
  dup2(input, 0);
  close(input);
}

struct SaveRow {
  const char* name;
  mode_t mode;  // of the old KV.set; 0: there is none
  bool link;    // Data/KV.set is a link to ../Real/KV.set
  uid_t owner;  // of the old KV.set; 0: this process's
  FileError cause;
};

class PosixSaveTest : public PosixTest, public ::testing::WithParamInterface<SaveRow> {};

// The safe save on a real disk: KV.set (a link's target) is the old file or the
// new one with the old one's mode and owner, and no other file is left behind.
TEST_P(PosixSaveTest, KeepsWhatTheFileIsAndLeavesNothingElse) {
  const SaveRow& row = GetParam();
  if (row.owner != 0 && geteuid() != 0) GTEST_SKIP() << "only root gives files away";
  const std::string file = row.link ? "Real/KV.set" : "Data/KV.set";
  const std::string old(kSettingsRecordSize, 'o');
  if (row.cause != FileError::kNoFolder) fs::create_directories("Data");
  if (row.link) fs::create_directories("Real");
  if (row.link) fs::create_symlink("../Real/KV.set", "Data/KV.set");
  if (row.mode != 0) folder_.WriteFile(file, old);
  if (row.mode != 0) ASSERT_EQ(chmod(file.c_str(), row.mode), 0);
  if (row.owner != 0) ASSERT_EQ(chown(file.c_str(), row.owner, row.owner), 0);
  const mode_t umasked = umask(0);
  umask(umasked);
  SettingsStore store([](int32_t) {});
  store.LoadSettingsFile(files_, ".\\Data\\");
  store.record().bytes.fill('n');
  FileFault fault;

  EXPECT_EQ(store.SaveSettingsFile(files_, ".\\Data\\", &fault), row.cause == FileError::kNone);

  EXPECT_EQ(fault.cause, row.cause);
  if (row.cause == FileError::kNoFolder) {
    EXPECT_EQ(Names("."), std::set<std::string>{});
    return;
  }
  struct stat status {};
  EXPECT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(folder_.ReadFile(file),
            row.cause == FileError::kNone ? std::string(kSettingsRecordSize, 'n') : old);
  EXPECT_EQ(status.st_mode & 07777, row.mode != 0 ? row.mode : 0666 & ~umasked);
  EXPECT_EQ(status.st_uid, row.owner != 0 ? row.owner : geteuid());
  EXPECT_EQ(fs::is_symlink("Data/KV.set"), row.link);
  EXPECT_EQ(Names("Data"), std::set<std::string>{"KV.set"});
  if (row.link) EXPECT_EQ(Names("Real"), std::set<std::string>{"KV.set"});
}

INSTANTIATE_TEST_SUITE_P(Files, PosixSaveTest,
                         ::testing::ValuesIn(std::vector<SaveRow>{
                             {"NewFileGetsTheUsualMode", 0, false, 0, FileError::kNone},
                             {"Mode0600IsKept", 0600, false, 0, FileError::kNone},
                             {"Mode0640IsKept", 0640, false, 0, FileError::kNone},
                             {"WriteOnlyIsWritable", 0200, false, 0, FileError::kNone},
                             {"OwnerIsKept", 0644, false, 1234, FileError::kNone},
                             {"LinkIsFollowedAndStays", 0644, true, 0, FileError::kNone},
                             {"ReadOnlyIsKept", 0444, false, 0, FileError::kReadOnly},
                             {"NoFolderIsNotMade", 0, false, 0, FileError::kNoFolder},
                         }),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
