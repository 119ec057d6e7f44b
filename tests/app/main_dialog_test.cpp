#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"

namespace cfg::testing {
namespace {

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

INSTANTIATE_TEST_SUITE_P(Runs, PlayerRunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

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

}  // namespace
}  // namespace cfg::testing
