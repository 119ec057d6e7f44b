// The program's runs: the player's steps in the main dialog, KV.set's on disk
// good and bad, and faults of the file layer.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/key_codes.h"
#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/read_back_check.h"

namespace cfg::testing {
namespace {

const auto RowName = [](const auto& info) { return std::string(info.param.name); };

namespace offset = record_offset;

constexpr int kCloseBox = 0;

// A run with no KV.set: the player's steps, how the dialog ends, the slot the
// list shows before that, and what a confirmed run saves over the golden
// fresh record: that slot and these fields.
struct PlayerRun {
  const char* name;
  // w, s, k: a click on the window-mode, 640x480 and 320x240 box; 2, -: slot 2
  // or no entry chosen; R, r: the score reset answered OK or cancelled; A, a:
  // the button assignment, in which the player sets controller 2's keys, ended
  // with OK or cancelled.
  std::string steps;
  int ending;  // IDC_CONFIRM, IDC_CANCEL or kCloseBox
  int slot;
  std::vector<std::pair<size_t, int32_t>> savedInts;
  bool scoresReset = false;
  bool controller1Set = false;  // to slot 2's controller 2 keys
};

const PlayerRun kRuns[] = {
    {"ConfirmUnchanged", "", IDC_CONFIRM, 0, {}},
    {"WindowModeTicked", "w", IDC_CONFIRM, 0, {{offset::kFullScreen, 0}}},
    // Keep320x240 can be ticked only after Start640x480, and is stored while disabled.
    {"Keep320x240FollowsStart640x480", "ksks", IDC_CONFIRM, 0, {{offset::kKeep320x240, 1}}},
    {"Slot2ChosenKeepsTheOptions", "w2", IDC_CONFIRM, 2, {{offset::kFullScreen, 0}}},
    {"NoEntryChosenKeepsTheSlot", "2-", IDC_CONFIRM, 2, {}},
    {"CancelWritesNothing", "w2", IDC_CANCEL, 2, {}},
    {"CloseBoxWritesNothing", "w", kCloseBox, 0, {}},
    {"ScoreResetOkThenConfirm", "R", IDC_CONFIRM, 0, {}, true},
    {"ScoreResetOkThenCancel", "R", IDC_CANCEL, 0, {}},
    {"ScoreResetRefusedThenConfirm", "r", IDC_CONFIRM, 0, {}},
    {"KeyConfigOkSetsController1OfTheSlot", "2A", IDC_CONFIRM, 2, {}, false, true},
    {"KeyConfigCancelledChangesNothing", "2a", IDC_CONFIRM, 2, {}},
};

class MainDialogTest : public ::testing::Test {
 protected:
  void Play(char step) {
    const std::string boxes = "wsk";
    const int boxIds[] = {IDC_WINDOW_MODE, IDC_START_640X480, IDC_KEEP_320X240};
    if (boxes.find(step) != std::string::npos) return view_.ClickCheck(boxIds[boxes.find(step)]);
    if (step == '2' || step == '-') return view_.ChooseSlot(step == '2' ? 2 : -1);
    view_.scoreResetAnswer = step == 'R';
    if (step == 'R' || step == 'r') return view_.Press(IDC_SCORE_RESET);
    view_.buttonAssignDialog = [this, step] {
      ButtonAssign& assign = rig_.program.buttonAssign;
      // It opens on controller 1.
      EXPECT_EQ(assign.working()[kUp].code, LoadBinding(rig_.record().KeyMap(2), 0, kUp).code);
      assign.BeginEditing(rig_.record().KeyMap(2), 1);
      return step == 'A' ? kDialogConfirmed : kDialogCancelled;
    };
    view_.Press(IDC_KEY_CONFIG);
  }

  ProgramRig rig_;
  MainDialog dialog_{rig_.program};
  FakeMainDialogView view_{dialog_};
};

class PlayerRunTest : public MainDialogTest, public ::testing::WithParamInterface<PlayerRun> {};

TEST_P(PlayerRunTest, ConfirmedRunSavesTheGoldenRecordWithThePlayersChanges) {
  const PlayerRun& run = GetParam();
  rig_.AttachJoystick1();  // its defaults are set once, under the player's changes
  rig_.files.AddDirectory("Data");
  rig_.program.StartUp();
  // Scores the game wrote.
  const auto scores = rig_.record().bytes.begin() + offset::kRankings;
  for (auto at = scores; at != rig_.record().bytes.end(); ++at)
    *at = static_cast<uint8_t>((at - scores) * 7);
  const SettingsRecord loaded = rig_.record();
  view_.Open();
  for (const char step : run.steps) Play(step);
  EXPECT_EQ(view_.selected(), run.slot);
  EXPECT_EQ(view_.entries(), (std::vector<std::string>{"Config: 0", "Config: 1", "Config: 2",
                                                       "Config: 3", "Config: 4"}));
  EXPECT_EQ(rig_.program.bindings.CurrentKeyMap(), rig_.record().KeyMap(run.slot));
  run.ending == kCloseBox ? view_.CloseBox() : view_.Press(run.ending);
  const bool confirmed = run.ending == IDC_CONFIRM;
  EXPECT_EQ(view_.result(), confirmed ? kDialogConfirmed : kDialogCancelled);
  EXPECT_TRUE(rig_.program.ShutDown());
  EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kReleaseDirectInput), 1);

  SettingsRecord expected = GoldenRecord(true);
  if (!run.scoresReset) {
    std::copy(loaded.bytes.begin() + offset::kRankings, loaded.bytes.end(),
              expected.bytes.begin() + offset::kRankings);
  }
  expected.SetInt(offset::kCurrentSlot, run.slot);
  for (const auto& [at, value] : run.savedInts) expected.SetInt(at, value);
  if (run.controller1Set) {
    StoreControllerBindings(expected.KeyMap(2), 0, LoadControllerBindings(expected.KeyMap(2), 1));
  }
  EXPECT_EQ(rig_.files.FileBytes(kDataSettings),
            confirmed ? std::optional(RecordBytes(expected)) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Runs, PlayerRunTest, ::testing::ValuesIn(kRuns), RowName);

// Each box shows its own field; Keep320x240 is disabled without Start640x480.
TEST_F(MainDialogTest, ShowsTheRecordsOptionsAndSlotAndRunsTheKeyTest) {
  rig_.devicesThread.late = true;  // the devices start only when waited for
  rig_.program.StartUp();
  rig_.record().SetInt(offset::kFullScreen, 0);
  rig_.record().SetInt(offset::kKeep320x240, 1);
  rig_.record().SetInt(offset::kCurrentSlot, 4);
  view_.Open();
  EXPECT_TRUE(view_.IsChecked(IDC_WINDOW_MODE));
  EXPECT_FALSE(view_.IsChecked(IDC_START_640X480));
  EXPECT_TRUE(view_.IsChecked(IDC_KEEP_320X240));
  EXPECT_FALSE(view_.enabled(IDC_KEEP_320X240));
  EXPECT_EQ(view_.selected(), 4);
  view_.Press(IDC_KEY_TEST);
  EXPECT_EQ(view_.keyTests, 1);
  // The key test reads the devices, so it waited for them.
  EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kCreateDirectInput), 1);
  EXPECT_FALSE(view_.result().has_value());
}

// A confirmed run over KV.set's on disk, good and bad: it loads the first one
// found (LocalConfig, then Data), shows what it can, and writes back a whole
// record in which only the dialog's own fields changed, into the folder of the
// last load. No other file changes.
using Bytes = std::vector<uint8_t>;
constexpr char kUpArrow[] = "\x81\xAA";

// The golden fresh record with this slot and controller 1's UP binding in slot 0.
Bytes Edited(int32_t slot, int32_t upSource = kKeyboardSource, int32_t upCode = dik::kUp) {
  SettingsRecord record = GoldenRecord(false);
  record.SetInt(offset::kCurrentSlot, slot);
  StoreBinding(record.KeyMap(0), 0, kUp, KeyBinding{upSource, upCode, 0x12345678});
  return RecordBytes(record);
}

struct DiskCase {
  const char* name;
  std::optional<Bytes> localConfig;
  // What the button assignment shows for controller 1's UP.
  std::optional<std::string> upText = std::nullopt;
  std::optional<Bytes> data = std::nullopt;
  const char* savedPath = kLocalConfigSettings;
  bool localConfigLocked = false;
  bool joystick1Late = false;  // joystick 1 attached, answering only after the load
};

// Keyboard defaults that end after controller 1's UP and DOWN in slot 0.
const Bytes kUpAndDown = [] {
  Bytes keyboard = RecordBytes(GoldenRecord(false));
  keyboard.resize(offset::KeyMap(0) + 2 * kKeyBindingSize);
  return keyboard;
}();

const Bytes kWhole = PatternBytes(kSettingsRecordSize, 11);
const DiskCase kDiskCases[] = {
    {"LocalConfigFileIsLoadedAndSavedBackThere", kWhole, {}, Edited(3)},
    {"DataFileWhenLocalConfigHasNone", {}, {}, kWhole, kDataSettings},
    {"NeitherFileKeepsTheDefaultsAndSavesIntoData", {}, kUpArrow, {}, kDataSettings},
    {"EmptyLocalConfigFileCountsAsFound", Bytes{}, kUpArrow, kWhole},
    {"LockedLocalConfigFileCountsAsMissing", Edited(3), {}, kWhole, kDataSettings, true},
    {"OneByte", PatternBytes(1, 5), kUpArrow},
    {"OneMebibyte", PatternBytes(1 << 20, 5)},
    {"SlotFive", Edited(5), kUpArrow},
    {"SourceMinusOne", Edited(0, -1, 0x10000), "PAD-1:UP"},
    {"SourceFive", Edited(0, 5, 0x10000), "PAD5:UP"},
    {"Source1000", Edited(0, 1000, 0x10000), "PAD1000:UP"},
    {"KeyCode300", Edited(0, 0, 300), ""},
    {"KeyCodeMinusOne", Edited(0, 0, -1), ""},
    // Controller 1's defaults follow joystick 1 wherever KV.set left them, as
    // if detection had come before the load, however late it answers.
    {"Joystick1AnswersAfterTheLoad", {}, {}, {}, kDataSettings, false, true},
    {"Joystick1AnswersAfterTheLoadOfAShortFile", {}, {}, kUpAndDown, kDataSettings, false, true},
};

std::map<std::string, std::optional<Bytes>> Contents(const MemoryFileSystem& files) {
  std::map<std::string, std::optional<Bytes>> contents;
  for (const std::string& path : files.ListFiles()) contents[path] = files.FileBytes(path);
  return contents;
}

class KvSetOnDiskTest : public MainDialogTest, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(KvSetOnDiskTest, ConfirmedRunSavesAWholeRecordKeepingTheGamesBytes) {
  const DiskCase& c = GetParam();
  rig_.files.AddDirectory("Data");
  if (c.localConfig) rig_.files.SetFile(kLocalConfigSettings, *c.localConfig);
  if (c.data) rig_.files.SetFile(kDataSettings, *c.data);
  if (c.localConfigLocked) rig_.files.SetLocked(kLocalConfigSettings);
  if (c.joystick1Late) rig_.AttachJoystick1();
  rig_.devicesThread.late = c.joystick1Late;
  auto expected = Contents(rig_.files);
  rig_.program.StartUp();
  std::string upText;
  view_.buttonAssignDialog = [&] {
    FakeButtonAssignView assign(rig_.program.buttonAssign);
    assign.Open();
    upText = assign.text(IDC_FIELD_UP);
    return kDialogConfirmed;
  };
  view_.Open();
  if (!c.joystick1Late) view_.Press(IDC_KEY_CONFIG);
  view_.Press(IDC_CONFIRM);
  EXPECT_TRUE(rig_.program.ShutDown());

  const std::optional<Bytes> file = rig_.files.FileBytes(c.savedPath);
  ASSERT_TRUE(file && file->size() == kSettingsRecordSize);
  const std::optional<Bytes>& before = c.savedPath == kDataSettings ? c.data : c.localConfig;
  SettingsRecord loaded = GoldenRecord(c.joystick1Late), saved;
  if (before)
    std::copy_n(before->begin(), std::min(before->size(), kSettingsRecordSize),
                loaded.bytes.begin());
  std::copy(file->begin(), file->end(), saved.bytes.begin());
  EXPECT_EQ(ReadBackMismatch(loaded, saved), "");
  EXPECT_EQ(view_.selected(), saved.Int(offset::kCurrentSlot));
  if (c.upText) {
    EXPECT_EQ(upText, *c.upText);
  }
  expected[rig_.files.Absolute(c.savedPath)] = file;
  EXPECT_EQ(Contents(rig_.files), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, KvSetOnDiskTest, ::testing::ValuesIn(kDiskCases), RowName);

// Faults of the file layer around one confirmed run, from the load at start-up
// to the save at shut-down. Whatever fails, KV.set on disk is the old file
// byte for byte or the new record whole, and ShutDown reports false whenever
// the player's confirmed settings did not reach the disk.
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
const Bytes kOldFile = [] {
  Bytes file = PatternBytes(kSettingsRecordSize, 5);
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
  const Step kill = [calls](B& f) { f.StopAfterCalls(calls); };
  const std::string name = "KilledAfter" + std::to_string(calls) + "SaveCalls";
  return {name, kNothing, kill, replaced, replaced ? Disk::kNew : Disk::kOld, kNoQuestion, true};
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

class FileFaultTest : public MainDialogTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FileFaultTest, KvSetIsOldOrNewWholeAndAFailedSaveIsReported) {
  const FaultCase& c = GetParam();
  MemoryFileSystem& files = rig_.files;
  Program& program = rig_.program;
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

  const std::optional<Bytes> expected[] = {kOldFile, RecordBytes(program.settings.record()),
                                           std::nullopt};
  EXPECT_EQ(files.FileBytes(kLocalConfigSettings), expected[static_cast<int>(c.disk)]);
  for (const std::string& path : files.ListFiles()) {
    EXPECT_TRUE(path == kLocalConfigSettings ||
                (c.temporaryMayRemain && path == std::string(kLocalConfigSettings) + ".~0.tmp"))
        << "stray file " << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(kFaults), RowName);

}  // namespace
}  // namespace cfg::testing
