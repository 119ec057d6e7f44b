#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/settings/store_fixture.h"

namespace cfg {
namespace {

const char kFolder[] = ".\\Data\\";
const char kPath[] = "C:\\Game\\Data\\KV.set";
// The fake's first two temporary names.
const char kTakenName[] = "C:\\Game\\Data\\KV.set.~0.tmp";
const char kTemporaryPath[] = "C:\\Game\\Data\\KV.set.~1.tmp";

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

// A name that is taken (a file, a link, a pipe) is neither written through nor removed.
TEST_F(SaveSettingsTest, WritesANewFileOfItsOwnBesideKvSetThenReplacesItUnderTheLock) {
  files_.SetFile(kTakenName, "not ours");

  EXPECT_TRUE(store_.SaveSettingsFile(files_, kFolder));

  EXPECT_EQ(files_.FileBytes(kPath), newFile_);
  EXPECT_EQ(files_.FileBytes(kTakenName),
            std::vector<uint8_t>({'n', 'o', 't', ' ', 'o', 'u', 'r', 's'}));
  EXPECT_EQ(files_.ListFiles(), (std::vector<std::string>{kPath, kTakenName}));
  std::vector<FileCall> steps;
  for (const FileCall& call : files_.calls()) {
    if (call.operation == FileOperation::kLock || call.operation == FileOperation::kCreateNew ||
        call.operation == FileOperation::kReplace) {
      steps.push_back(call);
    }
  }
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].operation, FileOperation::kLock);
  EXPECT_EQ(files_.Absolute(steps[0].path), kPath);
  EXPECT_EQ(files_.Absolute(steps[1].path), kTakenName);
  EXPECT_EQ(files_.Absolute(steps[2].path), kTemporaryPath);
  EXPECT_EQ(steps[3].operation, FileOperation::kReplace);
  EXPECT_EQ(files_.Absolute(steps[3].path), kTemporaryPath);
  EXPECT_EQ(files_.Absolute(steps[3].target), kPath);
  EXPECT_FALSE(files_.LockHeld());
}

// Another program wrote KV.set while the dialog was open and the save waited
// for its lock: what it wrote stays, and the player's changes go on top.
TEST_F(SaveSettingsTest, FileChangedSinceTheLoadKeepsItsBytesAndGetsThePlayersChanges) {
  ASSERT_TRUE(store_.LoadSettingsFile(files_, kFolder));
  store_.record().SetInt(record_offset::kOpaqueA, 77);
  const size_t theirOffset = kSettingsRecordSize - 4;
  const std::vector<uint8_t> theirs =
      WithInt(WithInt(oldFile_, theirOffset, 1234), record_offset::kOpaqueA, 55);
  files_.OnNextLock([&] { files_.SetFile(kPath, theirs); });

  EXPECT_TRUE(store_.SaveSettingsFile(files_, kFolder));

  EXPECT_EQ(files_.FileBytes(kPath), WithInt(theirs, record_offset::kOpaqueA, 77));
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
        {"LockFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kLock); }},
        {"CreateFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kCreateNew); }},
        {"IdentityFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kTakeIdentity); }},
        {"WriteFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kWrite); }},
        {"ShortWrite", [](MemoryFileSystem& f) { f.ShortenNextWrite(4683); }},
        // The first close is the read's, of the file as it is now.
        {"CloseFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kClose, 2); }},
        {"ReplaceFails", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kReplace); }},
        {"ReadOnlyTarget", [](MemoryFileSystem& f) { f.SetReadOnly(kPath); }},
        {"LockedTarget", [](MemoryFileSystem& f) { f.SetLocked(kPath); }},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
