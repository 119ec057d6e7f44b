#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/save_failure_message.h"
#include "settings/ui_language.h"
#include "tests/support/record_images.h"

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

constexpr char kPath[] = "C:\\Game\\Data\\KV.set";

// Faults of the file system while the record is read.
enum LoadFault { kNone = 0, kSizeFails = 1, kReadFails = 2, kBreaksAfterAPiece = 4 };

struct LoadRow {
  const char* name;
  size_t fileSize;
  uint32_t piece;  // largest single read; 0: any
  int faults;
  uint64_t size;  // told by LoadRecordFile
  bool whole;
  size_t taken;  // bytes of the record that come from the file
};

class LoadRecordFileTest : public ::testing::TestWithParam<LoadRow> {};

TEST_P(LoadRecordFileTest, FileBytesReplaceTheRecordsFirstBytesOnly) {
  const LoadRow& row = GetParam();
  MemoryFileSystem files;
  const Bytes file = PatternBytes(row.fileSize, 2);
  files.SetFile(kPath, file);
  files.LimitReadsTo(row.piece);
  if (row.faults & kSizeFails) files.FailNext(FileOperation::kGetSize);
  if (row.faults & kReadFails) files.FailNext(FileOperation::kRead);
  if (row.faults & kBreaksAfterAPiece) files.StopAfterCalls(3);  // open, size, one read
  SettingsRecord record;
  const Bytes before = PatternBytes(kSettingsRecordSize, 3);
  std::copy(before.begin(), before.end(), record.bytes.begin());
  bool whole = !row.whole;
  size_t taken = 0;

  EXPECT_EQ(LoadRecordFile(files, ".\\Data\\KV.set", record, &whole, &taken), row.size);

  Bytes expected = before;
  std::copy_n(file.begin(), row.taken, expected.begin());
  EXPECT_EQ(RecordBytes(record), expected);
  EXPECT_EQ(whole, row.whole);
  EXPECT_EQ(taken, row.taken);
  EXPECT_EQ(files.OpenHandleCount(), row.faults & kBreaksAfterAPiece ? 1u : 0u);  // died first
}

const uint64_t kUnknown = FileSystem::kUnknownSize;

INSTANTIATE_TEST_SUITE_P(Files, LoadRecordFileTest,
                         ::testing::ValuesIn(std::vector<LoadRow>{
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

constexpr size_t kChanged = record_offset::kOpaqueA;  // the int the player changes

// KV.set when the lock is granted: as loaded, changed by another program (the
// player's int and another byte), or gone.
enum Disk { kAsLoaded, kTheirs, kGone };

std::optional<Bytes> OnDisk(Disk disk, const Bytes& old) {
  if (disk == kGone) return std::nullopt;
  return disk == kAsLoaded ? old : WithInt(WithInt(old, 4680, 1234), kChanged, 55);
}

// Every file but KV.set.
std::map<std::string, Bytes> Others(const MemoryFileSystem& files) {
  auto contents = files.Files();
  contents.erase(kPath);
  return contents;
}

using Inject = std::function<void(MemoryFileSystem&)>;

struct SaveRow {
  const char* name;
  Inject inject;
  Disk disk;
  FileError cause;  // kNone: saved
  unsigned pausedMs = 0;
  bool kept = false;  // KV.set is gone and the temporary file holds the record
};

class SaveFaultTest : public ::testing::TestWithParam<SaveRow> {};

// An old KV.set, whose slot outside 0-4 is shown as 0, is loaded and the player
// changes an int. After the save KV.set is the file as it was, or that file with
// the player's change and slot 0; a failure says why; every other file stays as
// it was, none is added (but the only copy of the record), and nothing stays
// open or locked. Holds of a moment are waited out, 1.5 s at most.
TEST_P(SaveFaultTest, KvSetIsOldOrChangedWholeAndAFailureSaysWhy) {
  const SaveRow& row = GetParam();
  MemoryFileSystem files;
  const Bytes old = WithInt(PatternBytes(kSettingsRecordSize, 1), record_offset::kCurrentSlot, 7);
  files.SetFile(kPath, old);
  SettingsStore store([](int32_t) {});
  ASSERT_TRUE(store.LoadSettingsFile(files, ".\\Data"));
  store.record().SetInt(kChanged, 77);
  const std::optional<Bytes> onDisk = OnDisk(row.disk, old);
  if (onDisk) files.OnNextLock([&] { files.SetFile(kPath, *onDisk); });
  if (!onDisk) files.FileDelete(kPath);
  if (row.inject) row.inject(files);
  const auto others = Others(files);
  FileFault fault;

  EXPECT_EQ(store.SaveSettingsFile(files, ".\\Data\\", &fault), row.cause == FileError::kNone);

  EXPECT_EQ(fault.cause, row.cause);
  EXPECT_EQ(files.Paused(), row.pausedMs);
  const Bytes changed = WithInt(WithInt(onDisk.value_or(old), kChanged, 77), 0, 0);
  const bool saved = row.cause == FileError::kNone;
  const std::optional<Bytes> left = files.FileBytes(kPath);  // gone only when kept
  EXPECT_EQ(left, saved ? changed : row.kept && !left ? std::nullopt : onDisk);
  auto now = Others(files);
  EXPECT_EQ(now.erase(row.kept ? files.Absolute(fault.keptAt) : ""), row.kept ? 1u : 0u);
  EXPECT_EQ(files.FileBytes(fault.keptAt), row.kept ? std::optional(changed) : std::nullopt);
  EXPECT_EQ(now, others);
  EXPECT_FALSE(files.LockHeld());
  EXPECT_EQ(files.OpenHandleCount(), 0u);
}

Inject Fail(FileOperation operation, int times = 1) {
  return [=](MemoryFileSystem& files) { files.FailNext(operation, times); };
}

// The replace fails `times` times for a moment (the last try is the 150th); with
// `losing`, the first failure removes the old file.
Inject HeldReplace(int times, bool losing = false) {
  return [=](MemoryFileSystem& files) {
    if (losing) files.LoseTargetOnNextReplace();
    files.FailNext(FileOperation::kReplace, times, FileError::kInUse, true);
  };
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
        {"NinetyNineTemporaryNamesTaken", TakeNames(99), kAsLoaded, FileError::kNone},
        {"HundredTemporaryNamesTaken", TakeNames(100), kAsLoaded, FileError::kExists},
        {"ChangedOnDiskGetsOnlyThePlayersChange", {}, kTheirs, FileError::kNone},
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
        {"HeldByAnotherProgramRefusedFirst", [](MemoryFileSystem& f) { f.SetLocked(kPath); },
         kAsLoaded, FileError::kInUse, 1490},
        {"ReadOnlyRefusedAtOnce", [](MemoryFileSystem& f) { f.SetReadOnly(kPath); }, kAsLoaded,
         FileError::kReadOnly},
        {"HeldForAMoment", HeldReplace(149), kAsLoaded, FileError::kNone, 1490},
        {"HeldTooLong", HeldReplace(150), kAsLoaded, FileError::kInUse, 1490},
        {"ReplaceLosesTheOldFileThenMoves", HeldReplace(1, true), kAsLoaded, FileError::kNone, 10},
        {"ReplaceLosesTheOldFileAndFails", HeldReplace(150, true), kAsLoaded, FileError::kInUse,
         1490, true},
        // The first open is the read of the file as it is now.
        {"OldFileCannotBeOpenedAfterTheReplaceFailed",
         [](MemoryFileSystem& f) {
           f.FailNext(FileOperation::kReplace);
           f.FailNext(FileOperation::kOpenRead, 2, FileError::kInUse, true);
         },
         kAsLoaded, FileError::kOther, 0, true},
        {"CleanUpHeldForAMoment",
         [](MemoryFileSystem& f) {
           f.FailNext(FileOperation::kWrite);
           f.FailNext(FileOperation::kDelete, 1, FileError::kInUse, true);
         },
         kAsLoaded, FileError::kOther, 10},
    }),
    [](const auto& info) { return info.param.name; });

TEST(SaveWholeFileTest, AnyBytesMakeTheFile) {
  MemoryFileSystem files;
  for (const std::string bytes : {"", "x"}) {
    EXPECT_TRUE(SaveWholeFile(files, "out.bin", bytes));
    EXPECT_EQ(files.FileBytes("out.bin"), Bytes(bytes.begin(), bytes.end()));
  }
}

// The file, our cause and the system's text on lines of their own, where the
// record is when the old file was lost, then the choice: 再試行 unless saving
// again cannot help. Each cause has its own words.
TEST(SaveFailureMessageTest, NamesTheFileTheCauseAndTheChoice) {
  struct Row {
    FileFault fault;
    std::string words, system, choice = "[再試行] でもう一度保存します。[キャンセル]";
  };
  const Row rows[] = {
      {{FileError::kReadOnly, "ignored", false, ""}, "読み取り専用", ""},
      {{FileError::kInUse, "ignored", false, ""}, "他のプログラムが使用中", ""},
      {{FileError::kNoFolder, "", false, ""}, "フォルダーがありません", ""},
      {{FileError::kDiskFull, "", false, ""}, "ディスク", ""},
      {{FileError::kNotAFile, "", false, ""}, "通常のファイル", ""},
      {{FileError::kDenied, "Access is denied.", false, ""}, "権限", "Access is denied."},
      {{FileError::kOther, "I/O error", false, ""}, "", "I/O error"},
      {{FileError::kUnreadAtLoad, "CRC", false, ""}, "読み込めません", "CRC", "[OK]"},
      {{FileError::kInUse, "", false, "C:\\Game\\KV.set.1.tmp"}, "使用中", ""},
  };
  std::set<std::string> heads;
  for (const Row& row : rows) {
    const SaveFailureText text =
        SaveFailureMessage("C:\\Game\\Data\\KV.set", row.fault, Language::kJapanese);
    SCOPED_TRACE(text.head + text.tail);
    const std::string first = "設定ファイル C:\\Game\\Data\\KV.set を保存できませんでした。\n";
    ASSERT_EQ(text.head.rfind(first, 0), 0u);
    const std::string cause = text.head.substr(first.size());
    EXPECT_NE(cause.find(row.words), std::string::npos);
    EXPECT_EQ(std::count(cause.begin(), cause.end(), '\n'), row.words.empty() ? 0 : 1);
    EXPECT_EQ(text.systemText, row.system);
    const std::string kept =
        row.fault.keptAt.empty()
            ? ""
            : "元のファイルはなくなりました。設定は次のファイルに残っています: " +
                  row.fault.keptAt + "\n";
    EXPECT_EQ(text.tail, kept + "\n" + row.choice + " で保存せずに終了します。");
    heads.insert(text.head);
    heads.insert(SaveFailureMessage("KV.set", row.fault, Language::kEnglish).head);
  }
  EXPECT_EQ(heads.size(), 16u);  // each cause its own words in each language
}

// Each spelling of the switch, in any case and anywhere on the line; the last
// one counts; an unknown or missing value, or another switch, leaves Japanese.
TEST(LanguageFromCommandLineTest, TakesEachSpellingAndFallsBackToJapanese) {
  const Language ja = Language::kJapanese, en = Language::kEnglish;
  const std::pair<const char*, Language> rows[] = {
      {"", ja},
      {"/lang:en", en},
      {"-lang en", en},
      {"--lang=en", en},
      {"/LANG:EN", en},
      {"-LaNg\tEn", en},
      {"\"/lang:en\"", en},
      {"x.set /lang:en", en},
      {"/lang:ja", ja},
      {"/lang:fr", ja},
      {"/lang:", ja},
      {"-lang", ja},
      {"/lang:english", ja},
      {"/language:en", ja},
      {"lang:en", ja},
      {"xlang:en", ja},
      {"/lang:en /lang:ja", ja},
      {"-lang ja --lang=en", en},
      {"/lang:e", ja},
  };
  for (const auto& [commandLine, language] : rows) {
    EXPECT_EQ(LanguageFromCommandLine(commandLine), language) << commandLine;
  }
}

}  // namespace
}  // namespace cfg
