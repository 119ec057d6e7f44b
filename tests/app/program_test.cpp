// The program's runs: the player's steps in the main dialog over KV.set's on
// disk, good and bad, and faults of the file layer.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/key_codes.h"
#include "tests/app/program_rig.h"
#include "tests/dialogs/fake_button_assign_view.h"

namespace cfg::testing {
namespace {

const auto RowName = [](const auto& info) { return std::string(info.param.name); };

namespace offset = record_offset;
using namespace std::string_literals;
using Bytes = std::vector<uint8_t>;
constexpr char kUpArrow[] = "\x81\xAA";

// The golden fresh record with this slot and controller 1's UP binding in slot 0.
Bytes Edited(int32_t slot, int32_t upSource = kKeyboardSource, int32_t upCode = dik::kUp) {
  SettingsRecord record = GoldenRecord("defaults.set");
  record.SetInt(offset::kCurrentSlot, slot);
  StoreBinding(record.KeyMap(0), 0, kUp, KeyBinding{upSource, upCode, 0x12345678});
  return RecordBytes(record);
}

// Keyboard defaults that end after controller 1's UP and DOWN in slot 0.
const Bytes kUpAndDown = [] {
  Bytes keyboard = RecordBytes(GoldenRecord("defaults.set"));
  keyboard.resize(offset::KeyMap(0) + 2 * kKeyBindingSize);
  return keyboard;
}();
const Bytes kWhole = PatternBytes(kSettingsRecordSize, 11);

// One run over the files on disk. It loads the first KV.set found (LocalConfig,
// then Data), shows what it can, and, when confirmed, writes back a whole record
// in which only the dialog's own fields and the player's changes differ, into
// the folder of the load. No other file changes.
struct PlayerRun {
  const char* name;
  // Before start-up: J joystick 1 attached, L the devices answering only once
  // waited for, # LocalConfig's KV.set held open. Then the player: w, s, k a
  // click on the window-mode, 640x480 and 320x240 box; 2, - slot 2 or no entry
  // chosen; R, r the score reset answered OK or cancelled; K the button
  // assignment confirmed unchanged, A confirmed after loading controller 2's
  // keys, a cancelled after that; T the key test. The end: C "設定する", X
  // "キャンセル", Q the close box.
  const char* script;
  std::optional<Bytes> localConfig = std::nullopt, data = std::nullopt;
  const char* upText = nullptr;  // what the button assignment shows for controller 1's UP
  std::vector<std::pair<size_t, int32_t>> savedInts = {};
};

const PlayerRun kRuns[] = {
    {"ConfirmUnchanged", "J KC", {}, {}, "PAD1:UP"},
    {"WindowModeTicked", "J wC", {}, {}, nullptr, {{offset::kFullScreen, 0}}},
    // Keep320x240 can be ticked only after Start640x480, and is stored while disabled.
    {"Keep320x240FollowsStart640x480", "J ksksC", {}, {}, nullptr, {{offset::kKeep320x240, 1}}},
    {"Slot2ChosenKeepsTheOptions", "J w2C", {}, {}, nullptr, {{offset::kFullScreen, 0}}},
    {"NoEntryChosenKeepsTheSlot", "J 2-C"},
    {"CancelWritesNothing", "J w2X"},
    {"CloseBoxWritesNothing", "J wQ"},
    {"ScoreResetOkThenConfirm", "RC", {}, kWhole},
    {"ScoreResetRefusedThenConfirm", "rC", {}, kWhole},
    {"KeyConfigOkSetsController1OfTheSlot", "J 2AC", {}, {}, "PAD1:UP"},
    {"KeyConfigCancelledChangesNothing", "J 2aC", {}, {}, "PAD1:UP"},
    // Each box shows its own field and gives it back, Keep320x240 while disabled.
    // The key test reads the devices, so it waits for them.
    {"ShowsTheRecordsOptionsAndRunsTheKeyTest", "L TC",
     WithInt(WithInt(Edited(4), offset::kFullScreen, 0), offset::kKeep320x240, 1)},
    {"LocalConfigFileIsLoadedAndSavedBackThere", "KC", kWhole, Edited(3)},
    {"DataFileWhenLocalConfigHasNone", "KC", {}, kWhole},
    {"EmptyLocalConfigFileCountsAsFound", "KC", Bytes{}, kWhole, kUpArrow},
    {"LockedLocalConfigFileCountsAsMissing", "# KC", Edited(3), kWhole},
    {"OneByte", "KC", PatternBytes(1, 5), {}, kUpArrow},
    {"OneMebibyte", "KC", PatternBytes(1 << 20, 5)},
    {"SlotFive", "KC", Edited(5), {}, kUpArrow},
    {"SourceMinusOne", "KC", Edited(0, -1, 0x10000), {}, "PAD-1:UP"},
    {"SourceFive", "KC", Edited(0, 5, 0x10000), {}, "PAD5:UP"},
    {"Source1000", "KC", Edited(0, 1000, 0x10000), {}, "PAD1000:UP"},
    {"KeyCode300", "KC", Edited(0, 0, 300), {}, ""},
    {"KeyCodeMinusOne", "KC", Edited(0, 0, -1), {}, ""},
    // Controller 1's defaults follow joystick 1 wherever KV.set left them, as
    // if detection had come before the load, however late it answers.
    {"Joystick1AnswersAfterTheLoad", "JL C"},
    {"Joystick1AnswersAfterTheLoadOfAShortFile", "JL C", {}, kUpAndDown},
};

// Faults of the file layer around a confirmed run over an old KV.set in
// LocalConfig (and no Data folder), from the load at start-up to the save at
// shut-down. Whatever fails, KV.set on disk is the old file byte for byte or
// the new record whole, and ShutDown reports false whenever the player's
// confirmed settings did not reach the disk.
using Step = std::function<void(MemoryFileSystem&)>;
enum Retry { kNoQuestion, kRetryOnceWritable, kCancel };

struct FaultCase {
  std::string name;
  Step atLoad, atSave;
  bool saved;  // what ShutDown reports
  Retry retry = kNoQuestion;
  bool temporaryMayRemain = false;
  FileError cause = FileError::kReadOnly;  // the question's
};

// The save's file calls: lock; open, size, read, close (the file as it is
// now); the check that it can be replaced; create, write, identity, close; replace.
constexpr size_t kSaveCallsBeforeReplace = 10;
const Step kNothing = [](MemoryFileSystem&) {};
const Step kReadOnly = [](MemoryFileSystem& f) { f.SetReadOnly(kLocalConfigSettings); };

// The process dies after `calls` more file calls of the save.
FaultCase KilledSave(size_t calls) {
  const Step kill = [calls](MemoryFileSystem& f) { f.StopAfterCalls(calls); };
  const std::string name = "KilledAfter" + std::to_string(calls) + "SaveCalls";
  return {name, kNothing, kill, calls > kSaveCallsBeforeReplace, kNoQuestion, true};
}

const FaultCase kFaults[] = {
    // No LocalConfig.Txt, so KV.set's are the first reads.
    {"ReadFailsAtLoad", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kRead); }, kNothing,
     false},
    // Saving again cannot help: the question is asked once, whatever the answer.
    {"ReadFailsAtLoadIsToldOnce", [](MemoryFileSystem& f) { f.FailNext(FileOperation::kRead); },
     kNothing, false, kRetryOnceWritable, false, FileError::kUnreadAtLoad},
    {"NoFileAndNoDataFolder", [](MemoryFileSystem& f) { f.FileDelete(kLocalConfigSettings); },
     kNothing, false},
    {"OldFileIsReadOnly", kNothing, kReadOnly, false},
    {"ReadOnlyRetriedOnceWritable", kNothing, kReadOnly, true, kRetryOnceWritable},
    {"ReadOnlyRetryCancelled", kNothing, kReadOnly, false, kCancel},
    {"ReplaceAndCleanUpFail", kNothing,
     [](MemoryFileSystem& f) {
       f.FailNext(FileOperation::kReplace);
       f.FailNext(FileOperation::kDelete);
     },
     false, kNoQuestion, true},
    // The kept copy goes once a later attempt saved.
    {"ReplaceLosesTheOldFileThenRetried", kNothing,
     [](MemoryFileSystem& f) {
       f.LoseTargetOnNextReplace();
       f.FailNext(FileOperation::kReplace, 150, FileError::kInUse, true);
     },
     true, kRetryOnceWritable, false, FileError::kInUse},
    KilledSave(0),
    KilledSave(kSaveCallsBeforeReplace),
    KilledSave(kSaveCallsBeforeReplace + 1),
};

class ProgramTest : public ::testing::Test {
 protected:
  void Play(char step) {
    const char* boxes = "wsk";
    const int boxIds[] = {IDC_WINDOW_MODE, IDC_START_640X480, IDC_KEEP_320X240};
    const FakeMainDialogView::Event clicked[] = {nullptr, &MainDialog::OnStart640x480Clicked,
                                                 nullptr};
    if (const char* box = std::strchr(boxes, step)) {
      return view_.ClickCheck(boxIds[box - boxes], clicked[box - boxes]);
    }
    if (step == '2' || step == '-') return view_.ChooseSlot(step == '2' ? 2 : -1);
    // Q: the close box.
    if (step == 'C') return view_.Do(&MainDialog::OnConfirmed);
    if (step == 'X' || step == 'Q') return view_.Do(&MainDialog::OnCancelled);
    view_.scoreResetAnswer = step == 'R';
    if (step == 'R' || step == 'r') return view_.Do(&MainDialog::OnScoreReset);
    if (step == 'T') {
      view_.Do(&MainDialog::OnKeyTest);
      EXPECT_EQ(view_.keyTests, 1);
      EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kCreateDirectInput), 1);
      EXPECT_EQ(rig_.devices.cooperativeWindow, 0u);  // started before the dialog has a window
      return;
    }
    view_.buttonAssignDialog = [this, step](ButtonAssign& model) {
      FakeButtonAssignView assign(model);
      assign.Open();
      upText_ = assign.text(IDC_FIELD_UP);
      if (step != 'K') model.BeginEditing(rig_.record().KeyMap(2), 1);
      return step == 'a' ? kDialogCancelled : kDialogConfirmed;
    };
    if (step == 'K' || step == 'A' || step == 'a') view_.Do(&MainDialog::OnButtonAssign);
  }

  void Check(const PlayerRun& run, const FaultCase* fault = nullptr) {
    MemoryFileSystem& files = rig_.files;
    const std::string script = run.script;
    const bool joystick1 = script.find('J') != std::string::npos;
    const bool locked = script.find('#') != std::string::npos;
    if (fault == nullptr) files.AddDirectory("Data");
    if (run.localConfig) files.SetFile(kLocalConfigSettings, *run.localConfig);
    if (run.data) files.SetFile(kDataSettings, *run.data);
    if (locked) files.SetLocked(kLocalConfigSettings);
    if (joystick1) rig_.joystickApi.Attach(0);
    rig_.devicesThread.late = script.find('L') != std::string::npos;
    if (fault) fault->atLoad(files);
    auto expected = files.Files();
    rig_.program.StartUp();
    view_.Open();
    EXPECT_EQ(view_.entries, (std::vector<std::string>{"Config: 0", "Config: 1", "Config: 2",
                                                       "Config: 3", "Config: 4"}));
    for (const char step : script) {
      if (step == 'C' || step == 'X' || step == 'Q') {
        EXPECT_EQ(rig_.program.CurrentKeyMap(), rig_.record().KeyMap(view_.selected));
      }
      Play(step);
    }
    const bool confirmed = script.back() == 'C';
    EXPECT_EQ(view_.result, confirmed ? kDialogConfirmed : kDialogCancelled);
    EXPECT_TRUE(view_.destroyed);
    if (fault) fault->atSave(files);
    int questions = 0;
    const auto askRetry = [&](const std::string& path, const FileFault& problem) {
      EXPECT_EQ(files.Absolute(path), kLocalConfigSettings);
      EXPECT_EQ(problem.cause, fault->cause);
      files.SetReadOnly(kLocalConfigSettings, false);
      return ++questions == 1 && fault->retry == kRetryOnceWritable;
    };
    const bool ask = fault && fault->retry != kNoQuestion;
    const bool reached = !fault || fault->saved;
    EXPECT_EQ(rig_.program.ShutDown(ask ? askRetry : Program::SaveRetryQuestion()), reached);
    EXPECT_EQ(questions, ask ? 1 : 0);
    EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kReleaseDirectInput), 1);
    if (run.upText) {
      EXPECT_EQ(upText_, run.upText);
    }

    const char* savedPath = run.localConfig && !locked ? kLocalConfigSettings : kDataSettings;
    const std::optional<Bytes> file = files.FileBytes(savedPath);
    if (confirmed && reached) expected[files.Absolute(savedPath)] = file.value_or(Bytes{});
    auto contents = files.Files();
    if (fault && fault->temporaryMayRemain) contents.erase(kLocalConfigSettings + ".~0.tmp"s);
    EXPECT_EQ(contents, expected);
    if (!confirmed || !reached) return;
    ASSERT_TRUE(file && file->size() == kSettingsRecordSize);
    const std::optional<Bytes>& before = savedPath == kDataSettings ? run.data : run.localConfig;
    SettingsRecord golden = GoldenRecord(joystick1 ? "defaults-joystick.set" : "defaults.set"),
                   loaded = golden, saved;
    if (before) {
      std::copy_n(before->begin(), std::min(before->size(), kSettingsRecordSize),
                  loaded.bytes.begin());
    }
    std::copy(file->begin(), file->end(), saved.bytes.begin());
    EXPECT_EQ(view_.selected, saved.Int(offset::kCurrentSlot));
    if (script.find('2') != std::string::npos) loaded.SetInt(offset::kCurrentSlot, 2);
    for (const auto& [at, value] : run.savedInts) loaded.SetInt(at, value);
    if (script.find('R') != std::string::npos) {
      std::copy(golden.bytes.begin() + offset::kRankings, golden.bytes.end(),
                loaded.bytes.begin() + offset::kRankings);
    }
    uint8_t* slot2 = loaded.KeyMap(2);  // controller 2's 96 bytes over controller 1's
    if (script.find('A') != std::string::npos) std::copy_n(slot2 + 96, 96, slot2);
    EXPECT_EQ(ReadBackMismatch(loaded, saved), "");
  }

  ProgramRig rig_;
  MainDialog dialog_{rig_.program, Language::kJapanese};
  FakeMainDialogView view_{dialog_};
  std::string upText_;
};

class MainDialogRunTest : public ProgramTest, public ::testing::WithParamInterface<PlayerRun> {};

TEST_P(MainDialogRunTest, ShowsKvSetAndSavesOnlyThePlayersChanges) {
  Check(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Runs, MainDialogRunTest, ::testing::ValuesIn(kRuns), RowName);

// The model's read-back of a file of bytes unlike their neighbours: the program
// saves exactly those bytes, and the oracle of the other runs agrees with it.
TEST_F(ProgramTest, SavesAPatternAsTheModelDoes) {
  const SettingsRecord pattern = GoldenRecord("pattern.set");
  const SettingsRecord expected = GoldenRecord("pattern-saved.set");
  rig_.files.AddDirectory("Data");
  rig_.files.SetFile(kDataSettings, RecordBytes(pattern));
  rig_.program.StartUp();
  view_.Open();
  view_.Do(&MainDialog::OnConfirmed);
  ASSERT_TRUE(rig_.program.ShutDown());
  EXPECT_EQ(rig_.files.FileBytes(kDataSettings), RecordBytes(expected));
  EXPECT_EQ(ReadBackMismatch(pattern, expected), "");
}

class FileFaultTest : public ProgramTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FileFaultTest, KvSetIsOldOrNewWholeAndAFailedSaveIsReported) {
  // With a current slot in range, so the load changes nothing.
  Check({"", "C", WithInt(PatternBytes(kSettingsRecordSize, 5), offset::kCurrentSlot, 0)},
        &GetParam());
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(kFaults), RowName);

}  // namespace
}  // namespace cfg::testing
