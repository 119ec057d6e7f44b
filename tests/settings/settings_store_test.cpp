#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/settings/store_fixture.h"

namespace cfg {
namespace {

using Bytes = std::vector<uint8_t>;

// A backslash is added unless the folder ends in one; a lead byte takes the
// byte after it, even a backslash (more rows in ReadLocalConfigTest).
TEST(SettingsFilePathTest, AddsABackslashOnlyWhenTheLastCharacterIsNotOne) {
  const std::pair<std::string, std::string> rows[] = {
      {"", "KV.set"},
      {"C:\\Game", "C:\\Game\\KV.set"},
      {"C:\\Game\\", "C:\\Game\\KV.set"},
      {"\x80\\", "\x80\\\\KV.set"},
  };
  for (const auto& [folder, path] : rows) EXPECT_EQ(SettingsFilePath(folder), path) << folder;
}

// The slot stored before, the argument (-1 keeps the stored slot), the slot selected.
TEST(SelectConfigSlotTest, StoresTheSlotAndPointsTheKeyMapAtIt) {
  const int32_t rows[][3] = {{3, 0, 0}, {0, 4, 4}, {3, -1, 3}, {-1, -1, 0}, {5, -1, 0}, {2, 5, 0}};
  for (const auto& [stored, argument, slot] : rows) {
    SCOPED_TRACE(::testing::Message() << stored << ", " << argument);
    const uint8_t* keyMap = nullptr;
    SettingsStore store([&](int32_t selected) { keyMap = store.record().KeyMap(selected); });
    store.record().SetInt(record_offset::kCurrentSlot, stored);

    store.SelectConfigSlot(argument);

    EXPECT_EQ(store.record().Int(record_offset::kCurrentSlot), slot);
    EXPECT_EQ(keyMap, store.record().KeyMap(slot));
  }
}

constexpr char kPath[] = "C:\\Game\\Data\\KV.set";

// Faults of the file system while the record is read.
enum LoadFault { kNone = 0, kSizeFails = 1, kReadFails = 2, kBreaksAfterAPiece = 4 };

struct LoadRow {
  const char* name;
  size_t fileSize;  // SIZE_MAX: no file
  uint32_t piece;   // largest single read; 0: any
  int faults;
  std::optional<uint64_t> size;
  bool whole;
  size_t taken;  // bytes of the record that come from the file
};

class LoadRecordFileTest : public ::testing::TestWithParam<LoadRow> {};

TEST_P(LoadRecordFileTest, FileBytesReplaceTheRecordsFirstBytesOnly) {
  const LoadRow& row = GetParam();
  MemoryFileSystem files;
  const Bytes file = PatternBytes(row.fileSize == SIZE_MAX ? 0 : row.fileSize, 2);
  if (row.fileSize != SIZE_MAX) files.SetFile(kPath, file);
  files.LimitReadsTo(row.piece);
  if (row.faults & kSizeFails) files.FailNext(FileOperation::kGetSize);
  if (row.faults & kReadFails) files.FailNext(FileOperation::kRead);
  if (row.faults & kBreaksAfterAPiece) files.StopAfterCalls(3);  // open, size, one read
  SettingsRecord record;
  const Bytes before = PatternBytes(kSettingsRecordSize, 3);
  std::copy(before.begin(), before.end(), record.bytes.begin());
  bool whole = !row.whole;

  EXPECT_EQ(LoadRecordFile(files, ".\\Data\\KV.set", record, &whole), row.size);

  Bytes expected = before;
  std::copy_n(file.begin(), row.taken, expected.begin());
  EXPECT_EQ(RecordBytes(record), expected);
  if (!row.size) return;
  EXPECT_EQ(whole, row.whole);
  EXPECT_EQ(files.OpenHandleCount(), row.faults & kBreaksAfterAPiece ? 1u : 0u);  // died first
}

const uint64_t kUnknown = FileSystem::kUnknownSize;

INSTANTIATE_TEST_SUITE_P(Files, LoadRecordFileTest,
                         ::testing::ValuesIn(std::vector<LoadRow>{
                             {"Missing", SIZE_MAX, 0, kNone, std::nullopt, true, 0},
                             {"Empty", 0, 0, kNone, 0, true, 0},
                             {"OneShortInPiecesOf1000", 4683, 1000, kNone, 4683, true, 4683},
                             {"Whole", 4684, 0, kNone, 4684, true, 4684},
                             {"LongerInPiecesOf7", 5000, 7, kNone, 5000, true, 4684},
                             {"SizeUnknownShort", 100, 0, kSizeFails, 100, true, 100},
                             {"SizeUnknownLonger", 5000, 0, kSizeFails, kUnknown, true, 4684},
                             {"ReadFails", 4684, 0, kReadFails, 4684, false, 0},
                             {"ReadBreaksOff", 4684, 1000, kBreaksAfterAPiece, 4684, false, 1000},
                             {"BothFail", 4684, 0, kSizeFails | kReadFails, kUnknown, false, 0},
                         }),
                         [](const auto& info) { return info.param.name; });

// The int the player changes.
constexpr size_t kChanged = record_offset::kOpaqueA;

// An old KV.set loaded, and one int changed by the player.
class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.SetFile(kPath, old_);
    ASSERT_TRUE(store_.LoadSettingsFile(files_, ".\\Data"));
    store_.record().SetInt(kChanged, 77);
  }
  // Saves; every file but KV.set stays as it was, none is added, nothing stays open or locked.
  bool Save(FileFault& fault) {
    const auto others = [&] {
      std::map<std::string, std::optional<Bytes>> contents;
      for (const std::string& name : files_.ListFiles()) contents[name] = files_.FileBytes(name);
      contents.erase(kPath);
      return contents;
    };
    const auto before = others();
    const bool saved = store_.SaveSettingsFile(files_, ".\\Data\\", &fault);
    EXPECT_EQ(others(), before);
    EXPECT_FALSE(files_.LockHeld());
    EXPECT_EQ(files_.OpenHandleCount(), 0u);
    return saved;
  }

  MemoryFileSystem files_;
  SettingsStore store_{[](int32_t) {}};
  // Its current slot is outside 0-4: shown as 0, so 0 is saved.
  const Bytes old_ = WithInt(PatternBytes(kSettingsRecordSize, 1), record_offset::kCurrentSlot, 7);
};

// KV.set when the lock is granted: as loaded, changed by another program (the
// player's int and another byte), that and longer, or gone.
enum Disk { kAsLoaded, kTheirs, kTheirsLonger, kGone };

std::optional<Bytes> OnDisk(Disk disk, const Bytes& old) {
  if (disk == kGone) return std::nullopt;
  Bytes bytes = disk == kAsLoaded ? old : WithInt(WithInt(old, 4680, 1234), kChanged, 55);
  if (disk == kTheirsLonger) bytes.resize(5000, 1);
  return bytes;
}

using Inject = std::function<void(MemoryFileSystem&)>;

struct SaveRow {
  const char* name;
  Inject inject;
  Disk disk;
  FileError cause;  // kNone: saved
};

class SaveFaultTest : public SaveTest, public ::testing::WithParamInterface<SaveRow> {};

// After any save KV.set is the file as it was or that file with the player's change
// and the slot brought into range.
TEST_P(SaveFaultTest, KvSetIsOldOrChangedWholeAndAFailureSaysWhy) {
  const SaveRow& row = GetParam();
  const std::optional<Bytes> onDisk = OnDisk(row.disk, old_);
  if (onDisk) files_.OnNextLock([&] { files_.SetFile(kPath, *onDisk); });
  if (!onDisk) files_.FileDelete(kPath);
  if (row.inject) row.inject(files_);
  FileFault fault;

  EXPECT_EQ(Save(fault), row.cause == FileError::kNone);

  EXPECT_EQ(fault.cause, row.cause);
  if (row.cause == FileError::kNone) {
    const Bytes changed = WithInt(onDisk.value_or(old_), kChanged, 77);
    EXPECT_EQ(files_.FileBytes(kPath), WithInt(changed, record_offset::kCurrentSlot, 0));
  } else {
    EXPECT_EQ(files_.FileBytes(kPath), onDisk);
  }
}

Inject Fail(FileOperation operation, int times = 1) {
  return [=](MemoryFileSystem& files) { files.FailNext(operation, times); };
}

// The temporary names the save tries first, taken by files not its own.
Inject TakeNames(int count) {
  return [=](MemoryFileSystem& files) {
    for (int i = 0; i < count; ++i) files.SetFile(kPath + (".~" + std::to_string(i) + ".tmp"), "x");
  };
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::ValuesIn(std::vector<SaveRow>{
        {"TemporaryNameTaken", TakeNames(1), kAsLoaded, FileError::kNone},
        {"HundredTemporaryNamesTaken", TakeNames(100), kAsLoaded, FileError::kExists},
        {"ChangedOnDiskGetsOnlyThePlayersChange", {}, kTheirs, FileError::kNone},
        {"ChangedOnDiskLongerAndUnreadable", Fail(FileOperation::kRead), kTheirsLonger,
         FileError::kOther},
        {"ChangedOnDiskUnreadable", Fail(FileOperation::kRead), kTheirs, FileError::kOther},
        {"GoneFromDisk", {}, kGone, FileError::kNone},
        {"LockFails", Fail(FileOperation::kLock), kAsLoaded, FileError::kOther},
        {"CreateFails", Fail(FileOperation::kCreateNew), kAsLoaded, FileError::kOther},
        {"IdentityFails", Fail(FileOperation::kTakeIdentity), kAsLoaded, FileError::kOther},
        {"WriteFails", Fail(FileOperation::kWrite), kAsLoaded, FileError::kOther},
        {"WriteFallsShort", [](MemoryFileSystem& f) { f.ShortenNextWrite(4683); }, kAsLoaded,
         FileError::kDiskFull},
        {"DiskFullWritesNothing", [](MemoryFileSystem& f) { f.ShortenNextWrite(0); }, kAsLoaded,
         FileError::kDiskFull},
        // The first close is the read's, of the file as it is now.
        {"CloseFails", Fail(FileOperation::kClose, 2), kAsLoaded, FileError::kOther},
        {"ReplaceFails", Fail(FileOperation::kReplace), kAsLoaded, FileError::kOther},
        {"ReadOnly", [](MemoryFileSystem& f) { f.SetReadOnly(kPath); }, kAsLoaded,
         FileError::kReadOnly},
        {"HeldByAnotherProgram", [](MemoryFileSystem& f) { f.SetLocked(kPath); }, kAsLoaded,
         FileError::kInUse},
    }),
    [](const auto& info) { return info.param.name; });

TEST(SaveWholeFileTest, AnyBytesMakeTheFile) {
  MemoryFileSystem files;
  for (const std::string bytes : {"", "x"}) {
    EXPECT_TRUE(SaveWholeFile(files, "out.bin", bytes));
    EXPECT_EQ(files.FileBytes("out.bin"), Bytes(bytes.begin(), bytes.end()));
  }
}

}  // namespace
}  // namespace cfg
