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

// The in-memory disk whose reads can break off after a number of bytes, as
// at a bad sector in the middle of a file.
class BreakingReadsFileSystem : public MemoryFileSystem {
 public:
  using MemoryFileSystem::MemoryFileSystem;
  std::optional<uint32_t> readBudget;

  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override {
    if (!readBudget) return MemoryFileSystem::FileRead(file, buffer, count);
    const uint32_t got = MemoryFileSystem::FileRead(file, buffer, std::min(count, *readBudget));
    *readBudget -= got;
    return got;
  }
};

// kMerged: the new record with the byte another program changed meanwhile.
enum class Disk { kOld, kNew, kMerged, kAbsent };
enum Retry { kNoQuestion, kRetryOnceWritable, kCancel };

struct FaultCase {
  std::string name;
  std::function<void(BreakingReadsFileSystem&)> atLoad, atSave;
  bool saved;  // what ShutDown reports
  Disk disk;
  Retry retry = kNoQuestion;
  bool temporaryMayRemain = false;
};

// With a current slot in range, so the load changes nothing.
const std::vector<uint8_t> kOldFile = [] {
  std::vector<uint8_t> file = PatternFile(kSettingsRecordSize);
  std::fill_n(file.begin(), 4, 0);
  return file;
}();
using B = BreakingReadsFileSystem;
using Step = std::function<void(B&)>;
const Step kNothing = [](B&) {};
const Step kReadOnly = [](B& f) { f.SetReadOnly(kLocalConfigSettings); };

Step Fail(FileOperation operation, int times = 1) {
  return [=](B& f) { f.FailNext(operation, times); };
}

FaultCase SaveFault(std::string name, Step atSave, Retry retry = kNoQuestion) {
  const bool retried = retry == kRetryOnceWritable;
  return {std::move(name),
          kNothing,
          std::move(atSave),
          retried,
          retried ? Disk::kNew : Disk::kOld,
          retry};
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
    {"ReadBreaksOffAtLoad", [](B& f) { f.readBudget = 1000; }, kNothing, false, Disk::kOld},
    {"SizeUnknownAtLoad", Fail(FileOperation::kGetSize), kNothing, true, Disk::kNew},
    {"SizeUnknownAtLoadOfAShortFile",
     [](B& f) {
       f.SetFile(kLocalConfigSettings, PatternFile(100)), f.FailNext(FileOperation::kGetSize);
     },
     kNothing, true, Disk::kNew},
    {"NoFileAndNoDataFolder", [](B& f) { f.FileDelete(kLocalConfigSettings); }, kNothing, false,
     Disk::kAbsent},
    {"ChangedOnDiskWhileOpen", kNothing,
     [](B& f) {
       std::vector<uint8_t> changed = kOldFile;
       ++changed.back();  // by the game, say
       f.SetFile(kLocalConfigSettings, changed);
     },
     true, Disk::kMerged},
    SaveFault("CreateFails", Fail(FileOperation::kCreateNew)),
    SaveFault("WriteFails", Fail(FileOperation::kWrite)),
    SaveFault("DiskFullWritesNothing", [](B& f) { f.ShortenNextWrite(0); }),
    SaveFault("WriteFallsShort", [](B& f) { f.ShortenNextWrite(kSettingsRecordSize - 1); }),
    SaveFault("CloseFails", Fail(FileOperation::kClose, 2)),  // the first close is the read's
    SaveFault("ReplaceFails", Fail(FileOperation::kReplace)),
    SaveFault("OldFileIsReadOnly", kReadOnly),
    SaveFault("ReadOnlyRetriedOnceWritable", kReadOnly, kRetryOnceWritable),
    SaveFault("ReadOnlyRetryCancelled", kReadOnly, kCancel),
    SaveFault("OldFileIsLocked", [](B& f) { f.SetLocked(kLocalConfigSettings); }),
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
  BreakingReadsFileSystem files(kStartFolder);
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};
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

  std::vector<uint8_t> merged = Image(program.settings.record());
  ++merged.back();
  const std::optional<std::vector<uint8_t>> expected[] = {
      kOldFile, Image(program.settings.record()), merged, std::nullopt};
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
