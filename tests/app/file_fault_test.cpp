// Faults of the file layer around one confirmed run, from the load at start-up
// to the save at shut-down. Whatever fails, KV.set on disk is the old file
// byte for byte or the new record whole, and ShutDown reports false whenever
// the player's confirmed settings did not reach the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "tests/app/program_rig.h"

namespace cfg::testing {
namespace {

constexpr int32_t kNewMarker = 99;
// The save's file calls: lock; open, size, read, close (the file as it is
// now); create, write, identity, close; replace.
constexpr size_t kSaveCallsBeforeReplace = 9;

enum class Disk { kOld, kNew, kAbsent };
enum Retry { kNoQuestion, kRetryOnceWritable, kCancel };

struct FaultCase {
  std::string name;
  std::function<void(MemoryFileSystem&)> atLoad, atSave;
  bool saved;  // what ShutDown reports
  Disk disk;
  Retry retry = kNoQuestion;
  bool temporaryMayRemain = false;
};

// With a current slot in range, so the load changes nothing.
const std::vector<uint8_t> kOldFile = [] {
  std::vector<uint8_t> file = PatternBytes(kSettingsRecordSize, 5);
  std::fill_n(file.begin(), 4, 0);
  return file;
}();
using B = MemoryFileSystem;
using Step = std::function<void(B&)>;
const Step kNothing = [](B&) {};
const Step kReadOnly = [](B& f) { f.SetReadOnly(kLocalConfigSettings); };

Step Fail(FileOperation operation) {
  return [=](B& f) { f.FailNext(operation); };
}

// The process dies after `calls` more file calls of the save.
FaultCase KilledSave(size_t calls) {
  const bool replaced = calls > kSaveCallsBeforeReplace;
  return {"KilledAfter" + std::to_string(calls) + "SaveCalls",
          kNothing,
          [calls](B& f) { f.StopAfterCalls(calls); },
          replaced,
          replaced ? Disk::kNew : Disk::kOld,
          kNoQuestion,
          true};
}

const FaultCase kFaults[] = {
    {"NoFault", kNothing, kNothing, true, Disk::kNew},
    // No LocalConfig.Txt, so KV.set's are the first reads.
    {"ReadFailsAtLoad", Fail(FileOperation::kRead), kNothing, false, Disk::kOld},
    {"NoFileAndNoDataFolder", [](B& f) { f.FileDelete(kLocalConfigSettings); }, kNothing, false,
     Disk::kAbsent},
    {"OldFileIsReadOnly", kNothing, kReadOnly, false, Disk::kOld},
    {"ReadOnlyRetriedOnceWritable", kNothing, kReadOnly, true, Disk::kNew, kRetryOnceWritable},
    {"ReadOnlyRetryCancelled", kNothing, kReadOnly, false, Disk::kOld, kCancel},
    {"ReplaceAndCleanUpFail", kNothing,
     [](B& f) { f.FailNext(FileOperation::kReplace), f.FailNext(FileOperation::kDelete); }, false,
     Disk::kOld, kNoQuestion, true},
    KilledSave(0),
    KilledSave(5),
    KilledSave(kSaveCallsBeforeReplace),
    KilledSave(kSaveCallsBeforeReplace + 1),
};

class FileFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FileFaultTest, KvSetIsOldOrNewWholeAndAFailedSaveIsReported) {
  const FaultCase& c = GetParam();
  ProgramRig rig;
  MemoryFileSystem& files = rig.files;
  Program& program = rig.program;
  files.SetFile(kLocalConfigSettings, kOldFile);
  c.atLoad(files);
  program.StartUp();
  // A change only a save can carry to disk, then "設定する".
  program.settings.record().SetInt(record_offset::kOpaqueA, kNewMarker);
  program.confirmFlag = 1;
  c.atSave(files);
  std::vector<FileError> causes;
  const auto askRetry = [&](const std::string& path, const FileFault& fault) {
    EXPECT_EQ(files.Absolute(path), kLocalConfigSettings);
    causes.push_back(fault.cause);
    files.SetReadOnly(kLocalConfigSettings, false);
    return c.retry == kRetryOnceWritable;
  };
  EXPECT_EQ(program.ShutDown(c.retry == kNoQuestion ? Program::SaveRetryQuestion() : askRetry),
            c.saved);
  if (c.retry != kNoQuestion) {
    EXPECT_EQ(causes, std::vector<FileError>{FileError::kReadOnly});
  }

  const std::optional<std::vector<uint8_t>> expected[] = {
      kOldFile, RecordBytes(program.settings.record()), std::nullopt};
  EXPECT_EQ(files.FileBytes(kLocalConfigSettings), expected[static_cast<int>(c.disk)]);
  for (const std::string& path : files.ListFiles()) {
    EXPECT_TRUE(path == kLocalConfigSettings ||
                (c.temporaryMayRemain && path == std::string(kLocalConfigSettings) + ".~0.tmp"))
        << "stray file " << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg::testing
