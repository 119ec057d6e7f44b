// Faults of the file layer around one confirmed run, from the load at start-up
// to the save at shut-down. Whatever fails, each KV.set on disk is the old
// file byte for byte or the new record whole, and ShutDown reports false
// whenever the player's confirmed settings did not reach the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "tests/app/program_rig.h"

namespace cfg::testing {
namespace {

constexpr int32_t kOldMarker = 11;
constexpr int32_t kNewMarker = 99;
constexpr char kTemporarySuffix[] = ".~0.tmp";  // the fake's first temporary name
// The save's file calls: lock; open, size, read, close (the file as it is
// now); create, write, identity, close; replace.
constexpr size_t kSaveCallsBeforeReplace = 9;

// The in-memory disk with one more fault: reads that break off after a number
// of bytes, as a bad sector in the middle of a file would.
class BreakingReadsFileSystem : public MemoryFileSystem {
 public:
  using MemoryFileSystem::MemoryFileSystem;

  void BreakReadsAfter(uint32_t bytes) { readBudget_ = bytes; }

  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override {
    if (!readBudget_) return MemoryFileSystem::FileRead(file, buffer, count);
    const uint32_t got = MemoryFileSystem::FileRead(file, buffer, std::min(count, *readBudget_));
    *readBudget_ -= got;
    return got;
  }

 private:
  std::optional<uint32_t> readBudget_;
};

struct FaultRig {
  BreakingReadsFileSystem files{kStartFolder};
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};
};

enum class Disk { kOld, kNew, kAbsent };

struct FaultCase {
  std::string name;
  // Files and load-time faults, before start-up.
  std::function<void(FaultRig&)> arrange;
  // Save-time faults, after the player has confirmed.
  std::function<void(FaultRig&)> inject;
  bool saved;  // what ShutDown reports
  Disk localConfig;
  Disk data;
  bool temporaryMayRemain = false;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.name;
}

// An old KV.set in the LocalConfig folder and an empty Data folder.
void OldLocalConfigFile(FaultRig& rig) {
  rig.files.SetFile(kLocalConfigSettings, MarkedImage(kOldMarker));
  rig.files.AddDirectory("C:\\Game\\Data");
}

void NoFault(FaultRig&) {}

FaultCase LoadFault(std::string name, std::function<void(BreakingReadsFileSystem&)> inject,
                    bool saved, Disk localConfig) {
  return {std::move(name),
          [inject](FaultRig& rig) {
            OldLocalConfigFile(rig);
            inject(rig.files);
          },
          NoFault,
          saved,
          localConfig,
          Disk::kAbsent};
}

FaultCase SaveFault(std::string name, std::function<void(MemoryFileSystem&)> inject,
                    bool temporaryMayRemain = false) {
  return {std::move(name),
          OldLocalConfigFile,
          [inject](FaultRig& rig) { inject(rig.files); },
          false,
          Disk::kOld,
          Disk::kAbsent,
          temporaryMayRemain};
}

// The process dies after `calls` more file calls of the save.
FaultCase KilledSave(size_t calls) {
  const bool replaced = calls > kSaveCallsBeforeReplace;
  return {"KilledAfter" + std::to_string(calls) + "SaveCalls",
          OldLocalConfigFile,
          [calls](FaultRig& rig) { rig.files.StopAfterCalls(calls); },
          replaced,
          replaced ? Disk::kNew : Disk::kOld,
          Disk::kAbsent,
          true};
}

std::vector<FaultCase> FaultCases() {
  using F = MemoryFileSystem;
  using B = BreakingReadsFileSystem;
  std::vector<FaultCase> cases = {
      {"NoFault", OldLocalConfigFile, NoFault, true, Disk::kNew, Disk::kAbsent},
      // Loading. No LocalConfig.Txt, so KV.set's are the first reads.
      LoadFault(
          "ReadFailsAtLoad", [](B& f) { f.FailNext(FileOperation::kRead); }, false, Disk::kOld),
      LoadFault(
          "ReadBreaksOffAtLoad", [](B& f) { f.BreakReadsAfter(1000); }, false, Disk::kOld),
      LoadFault(
          "SizeUnknownAtLoad", [](B& f) { f.FailNext(FileOperation::kGetSize); }, true, Disk::kNew),
      LoadFault(
          "SizeUnknownAtLoadOfAShortFile",
          [](B& f) {
            f.SetFile(kLocalConfigSettings, std::vector<uint8_t>(100, 0x5A));
            f.FailNext(FileOperation::kGetSize);
          },
          true, Disk::kNew),
      // Saving.
      SaveFault("CreateFails", [](F& f) { f.FailNext(FileOperation::kCreateNew); }),
      SaveFault("WriteFails", [](F& f) { f.FailNext(FileOperation::kWrite); }),
      SaveFault("DiskFullWritesNothing", [](F& f) { f.ShortenNextWrite(0); }),
      SaveFault("WriteFallsShort", [](F& f) { f.ShortenNextWrite(kSettingsRecordSize - 1); }),
      // The first close is the read's, of the file as it is now.
      SaveFault("CloseFails", [](F& f) { f.FailNext(FileOperation::kClose, 2); }),
      SaveFault("ReplaceFails", [](F& f) { f.FailNext(FileOperation::kReplace); }),
      SaveFault("OldFileIsReadOnly", [](F& f) { f.SetReadOnly(kLocalConfigSettings); }),
      SaveFault("OldFileIsLocked", [](F& f) { f.SetLocked(kLocalConfigSettings); }),
      SaveFault(
          "ReplaceAndCleanUpFail",
          [](F& f) {
            f.FailNext(FileOperation::kReplace);
            f.FailNext(FileOperation::kDelete);
          },
          true),
      {"NoFileAndNoDataFolder", [](FaultRig&) {}, NoFault, false, Disk::kAbsent, Disk::kAbsent},
  };
  for (size_t calls = 0; calls <= kSaveCallsBeforeReplace + 1; ++calls) {
    cases.push_back(KilledSave(calls));
  }
  return cases;
}

class FileFaultTest : public ::testing::TestWithParam<FaultCase> {
 protected:
  // Start-up, a change only a save can carry to disk, "設定する", shut-down.
  bool RunConfirmed() {
    GetParam().arrange(rig_);
    rig_.program.StartUp();
    rig_.program.settings.record().SetInt(record_offset::kOpaqueA, kNewMarker);
    rig_.program.confirmFlag = 1;
    GetParam().inject(rig_);
    return rig_.program.ShutDown();
  }

  void ExpectDisk(const char* path, Disk expected) {
    const std::optional<std::vector<uint8_t>> bytes = rig_.files.FileBytes(path);
    switch (expected) {
      case Disk::kOld:
        EXPECT_EQ(bytes, MarkedImage(kOldMarker)) << path;
        break;
      case Disk::kNew:
        EXPECT_EQ(bytes, Image(rig_.program.settings.record())) << path;
        break;
      case Disk::kAbsent:
        EXPECT_FALSE(bytes.has_value()) << path;
        break;
    }
  }

  FaultRig rig_;
};

TEST_P(FileFaultTest, KvSetIsOldOrNewWholeAndAFailedSaveIsReported) {
  const FaultCase& c = GetParam();
  EXPECT_EQ(RunConfirmed(), c.saved);
  ExpectDisk(kLocalConfigSettings, c.localConfig);
  ExpectDisk(kDataSettings, c.data);
  for (const std::string& path : rig_.files.ListFiles()) {
    if (path == kLocalConfigSettings || path == kDataSettings) continue;
    EXPECT_TRUE(c.temporaryMayRemain &&
                path == std::string(kLocalConfigSettings) + kTemporarySuffix)
        << "stray file " << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return info.param.name; });

// After a failed save the player is asked, with the cause: 再試行 once the
// cause is gone saves the changes kept in memory; キャンセル keeps the old file.
TEST(SaveRetryTest, RetrySavesTheChangesAndCancelKeepsTheOldFile) {
  for (const bool retry : {true, false}) {
    ProgramRig rig;
    rig.files.SetFile(kLocalConfigSettings, MarkedImage(kOldMarker));
    rig.program.StartUp();
    rig.record().SetInt(record_offset::kOpaqueA, kNewMarker);
    rig.program.confirmFlag = 1;
    rig.files.SetReadOnly(kLocalConfigSettings);
    std::vector<FileError> causes;

    const bool saved = rig.program.ShutDown([&](const std::string& path, const FileFault& fault) {
      EXPECT_EQ(rig.files.Absolute(path), kLocalConfigSettings);
      causes.push_back(fault.cause);
      rig.files.SetReadOnly(kLocalConfigSettings, false);
      return retry;
    });

    EXPECT_EQ(saved, retry);
    EXPECT_EQ(causes, std::vector<FileError>{FileError::kReadOnly});
    EXPECT_EQ(rig.files.FileBytes(kLocalConfigSettings),
              retry ? MarkedImage(kNewMarker) : MarkedImage(kOldMarker));
  }
}

}  // namespace
}  // namespace cfg::testing
