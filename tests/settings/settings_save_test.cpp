#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/settings/store_fixture.h"

namespace cfg {
namespace {

const char kFolder[] = ".\\Data\\";
const char kPath[] = "C:\\Game\\Data\\KV.set";
const char kTemporaryPath[] = "C:\\Game\\Data\\KV.set.tmp";

// An old KV.set on disk and a different record in memory.
class SaveSettingsTest : public StoreFixture, public ::testing::Test {
 protected:
  void SetUp() override {
    files_.SetFile(kPath, oldFile_);
    FillRecord(store_.record(), newFile_);
  }

  const std::vector<uint8_t> oldFile_ = WithInt(PatternBytes(4684, 10), 0, 1);
  const std::vector<uint8_t> newFile_ = WithInt(PatternBytes(4684, 11), 0, 2);
};

TEST_F(SaveSettingsTest, WritesTheTemporaryFileBesideKvSetThenReplacesIt) {
  EXPECT_TRUE(store_.SaveSettingsFile(files_, kFolder));

  EXPECT_EQ(files_.FileBytes(kPath), newFile_);
  EXPECT_EQ(files_.ListFiles(), std::vector<std::string>{kPath});
  const std::vector<FileCall>& calls = files_.calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].operation, FileOperation::kCreateWrite);
  EXPECT_EQ(files_.Absolute(calls[0].path), kTemporaryPath);
  EXPECT_EQ(calls[1].operation, FileOperation::kWrite);
  EXPECT_EQ(calls[2].operation, FileOperation::kClose);
  EXPECT_EQ(calls[3].operation, FileOperation::kReplace);
  EXPECT_EQ(files_.Absolute(calls[3].path), kTemporaryPath);
  EXPECT_EQ(files_.Absolute(calls[3].target), kPath);
}

TEST_F(SaveSettingsTest, CreatesKvSetWhenThereIsNone) {
  files_.AddDirectory("C:\\Game\\Fresh");

  EXPECT_TRUE(store_.SaveSettingsFile(files_, "C:\\Game\\Fresh"));

  EXPECT_EQ(files_.FileBytes("C:\\Game\\Fresh\\KV.set"), newFile_);
}

TEST_F(SaveSettingsTest, MissingFolderFailsAndIsNotCreated) {
  EXPECT_FALSE(store_.SaveSettingsFile(files_, ".\\Missing\\"));

  EXPECT_FALSE(files_.HasDirectory(".\\Missing"));
  EXPECT_EQ(files_.ListFiles(), std::vector<std::string>{kPath});
}

struct FaultCase {
  const char* name;
  void (*inject)(MemoryFileSystem& files);
};

class SaveFaultTest : public SaveSettingsTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SaveFaultTest, Returns0KeepsTheOldFileAndLeavesNoTemporaryFile) {
  GetParam().inject(files_);

  EXPECT_FALSE(store_.SaveSettingsFile(files_, kFolder));

  EXPECT_EQ(files_.FileBytes(kPath), oldFile_);
  EXPECT_EQ(files_.ListFiles(), std::vector<std::string>{kPath});
  EXPECT_EQ(files_.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::ValuesIn(std::vector<FaultCase>{
        {"CreateFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kCreateWrite); }},
        {"WriteFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kWrite); }},
        {"ShortWrite", [](MemoryFileSystem& f) { f.ShortenNextWrite(4683); }},
        {"CloseFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kClose); }},
        {"ReplaceFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kReplace); }},
        {"ReadOnlyTarget", [](MemoryFileSystem& f) { f.SetReadOnly(kPath); }},
        {"LockedTarget", [](MemoryFileSystem& f) { f.SetLocked(kPath); }},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
