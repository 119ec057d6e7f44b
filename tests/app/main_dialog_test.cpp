#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "input/key_codes.h"
#include "res/resource_ids.h"
#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/dialogs/fake_key_test_view.h"

namespace cfg::testing {
namespace {

namespace offset = record_offset;

constexpr int32_t kKeyI = dik::kI;
constexpr int32_t kKeyUpArrow = dik::kUp;
constexpr int32_t kKeyDownArrow = dik::kDown;
constexpr char kFixedSoundFolder[] = ".\\Sound\\";  // 9 bytes with the NUL

// A saved record whose sound folder names another folder, with bytes of an
// older, longer text behind its NUL.
SettingsRecord SavedRecordWithOtherSoundFolder() {
  SettingsRecord record = SavedRecord();
  for (size_t i = 0; i < kSoundFolderSize; ++i) {
    record.bytes[offset::kSoundFolder + i] = static_cast<uint8_t>('a' + i % 26);
  }
  const char folder[] = "D:\\Music\\Game\\";
  std::memcpy(&record.bytes[offset::kSoundFolder], folder, sizeof folder);
  return record;
}

void ExpectFixedSoundFolder(const SettingsRecord& record, const SettingsRecord& loaded) {
  const auto field = record.bytes.begin() + offset::kSoundFolder;
  const auto loadedField = loaded.bytes.begin() + offset::kSoundFolder;
  EXPECT_TRUE(std::equal(field, field + sizeof kFixedSoundFolder, kFixedSoundFolder));
  EXPECT_TRUE(std::equal(field + sizeof kFixedSoundFolder, field + kSoundFolderSize,
                         loadedField + sizeof kFixedSoundFolder));
}

class MainDialogTest : public ::testing::Test {
 protected:
  // Starts the program over this KV.set in LocalConfig and opens the dialog.
  void OpenWith(const SettingsRecord& saved) {
    rig_.files.SetFile(kLocalConfigSettings, Image(saved));
    rig_.program.StartUp();
    view_.Open();
  }

  std::vector<uint8_t> FileAfterShutDown() {
    EXPECT_TRUE(rig_.program.ShutDown());
    return rig_.files.FileBytes(kLocalConfigSettings).value_or(std::vector<uint8_t>{});
  }

  ProgramRig rig_;
  MainDialog dialog_{rig_.program};
  FakeMainDialogView view_{dialog_};
};

// --- Ways out ---------------------------------------------------------------

struct Ending {
  const char* name;
  void (*leave)(FakeMainDialogView& view);
  int result;
};

const Ending kEndings[] = {
    {"Confirm", [](FakeMainDialogView& view) { view.Press(IDC_CONFIRM); }, kDialogConfirmed},
    {"Cancel", [](FakeMainDialogView& view) { view.Press(IDC_CANCEL); }, kDialogCancelled},
    {"CloseBox", [](FakeMainDialogView& view) { view.CloseBox(); }, kDialogCancelled},
};

// --- Showing the record and reading it back ----------------------------------

struct Field {
  size_t offset;
  uint32_t value;
};

struct ReadBackCase {
  const char* name;
  std::vector<Field> loaded;
  bool windowMode, start640x480, keep320x240, keepEnabled;  // as shown
  std::vector<Field> stored;
};

const ReadBackCase kReadBackCases[] = {
    {"FullScreen2ShowsWindowModeAndStoresZero",
     {{offset::kFullScreen, 2}},
     true,
     false,
     false,
     false,
     {{offset::kFullScreen, 0}}},
    {"FullScreen1ShowsFullScreen",
     {{offset::kFullScreen, 1}},
     false,
     false,
     false,
     false,
     {{offset::kFullScreen, 1}}},
    {"FullScreen0ShowsWindowMode",
     {{offset::kFullScreen, 0}},
     true,
     false,
     false,
     false,
     {{offset::kFullScreen, 0}}},
    {"Keep320x240WithoutStart640x480IsTickedAndDisabled",
     {{offset::kStart640x480, 0}, {offset::kKeep320x240, 1}},
     false,
     false,
     true,
     false,
     {{offset::kStart640x480, 0}, {offset::kKeep320x240, 1}}},
    {"Start640x480EnablesKeep320x240",
     {{offset::kStart640x480, 1}, {offset::kKeep320x240, 0}},
     false,
     true,
     false,
     true,
     {{offset::kStart640x480, 1}, {offset::kKeep320x240, 0}}},
    {"AnyNonZeroOptionIsTickedAndStoredAsOne",
     {{offset::kStart640x480, 5}, {offset::kKeep320x240, 0xFFFFFFFF}},
     false,
     true,
     true,
     true,
     {{offset::kStart640x480, 1}, {offset::kKeep320x240, 1}}},
    {"ModeBits06Becomes01",
     {{offset::kModeBits, 0x06}},
     false,
     false,
     false,
     false,
     {{offset::kModeBits, 0x01}}},
    {"ModeBitsF0BecomesF1",
     {{offset::kModeBits, 0xF0}},
     false,
     false,
     false,
     false,
     {{offset::kModeBits, 0xF1}}},
    {"OptionBitsLoseOnlyBits0And1",
     {{offset::kOptionBits, 0x80000007}},
     false,
     false,
     false,
     false,
     {{offset::kOptionBits, 0x80000004}}},
    {"FieldsWithoutControlsGetFixedValues",
     {{offset::kFourWayChoice, 3},
      {offset::kExtraFlag, 1},
      {offset::kNumberA, 7},
      {offset::kNumberB, 0xFFFFFFFB}},
     false,
     false,
     false,
     false,
     {{offset::kFourWayChoice, 0},
      {offset::kExtraFlag, 0},
      {offset::kNumberA, 0},
      {offset::kNumberB, 0}}},
};

class ReadBackTest : public MainDialogTest,
                     public ::testing::WithParamInterface<std::tuple<ReadBackCase, Ending>> {};

TEST_P(ReadBackTest, ShowsTheRecordAndStoresTheDialogWhateverEndsIt) {
  const ReadBackCase& c = std::get<0>(GetParam());
  const Ending& ending = std::get<1>(GetParam());
  SettingsRecord saved = SavedRecordWithOtherSoundFolder();
  for (const Field& field : c.loaded) saved.SetBits(field.offset, field.value);
  OpenWith(saved);

  EXPECT_EQ(view_.checked(IDC_WINDOW_MODE), c.windowMode);
  EXPECT_EQ(view_.checked(IDC_START_640X480), c.start640x480);
  EXPECT_EQ(view_.checked(IDC_KEEP_320X240), c.keep320x240);
  EXPECT_EQ(view_.enabled(IDC_KEEP_320X240), c.keepEnabled);

  ending.leave(view_);
  EXPECT_EQ(view_.result(), ending.result);
  ASSERT_TRUE(view_.destroyed());
  const SettingsRecord& record = rig_.record();
  for (const Field& field : c.stored) {
    EXPECT_EQ(record.Bits(field.offset), field.value) << "offset " << field.offset;
  }
  ExpectFixedSoundFolder(record, saved);

  const std::vector<uint8_t> expectedFile =
      ending.result == kDialogConfirmed ? Image(record) : Image(saved);
  EXPECT_EQ(FileAfterShutDown(), expectedFile);
}

INSTANTIATE_TEST_SUITE_P(Fields, ReadBackTest,
                         ::testing::Combine(::testing::ValuesIn(kReadBackCases),
                                            ::testing::ValuesIn(kEndings)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

TEST_F(MainDialogTest, ConfirmingUnchangedRewritesTheWholeFileWithTheFixedValues) {
  std::vector<uint8_t> image(kSettingsRecordSize);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
  StoreLeInt32(image.data(), 1);  // currentSlot
  rig_.files.SetFile(kLocalConfigSettings, image);
  rig_.program.StartUp();
  view_.Open();

  view_.Press(IDC_CONFIRM);

  std::vector<uint8_t> expected = image;
  const uint32_t optionBits = LoadLe32(&image[offset::kOptionBits]);
  const uint32_t modeBits = LoadLe32(&image[offset::kModeBits]);
  ASSERT_NE(LoadLeInt32(&image[offset::kFullScreen]), 1);
  StoreLeInt32(&expected[offset::kFullScreen], 0);
  std::memcpy(&expected[offset::kSoundFolder], kFixedSoundFolder, sizeof kFixedSoundFolder);
  StoreLeInt32(&expected[offset::kFourWayChoice], 0);
  StoreLeInt32(&expected[offset::kExtraFlag], 0);
  StoreLe32(&expected[offset::kOptionBits], optionBits & ~0x3u);
  StoreLeInt32(&expected[offset::kStart640x480], 1);
  StoreLeInt32(&expected[offset::kKeep320x240], 1);
  StoreLeInt32(&expected[offset::kNumberA], 0);
  StoreLeInt32(&expected[offset::kNumberB], 0);
  StoreLe32(&expected[offset::kModeBits], (modeBits & ~0x6u) | 0x1u);
  EXPECT_EQ(FileAfterShutDown(), expected);
}

// --- The display options -----------------------------------------------------

TEST_F(MainDialogTest, ClearingStart640x480DisablesKeep320x240WithoutClearingIt) {
  SettingsRecord saved = SavedRecord();
  saved.SetInt(offset::kStart640x480, 1);
  saved.SetInt(offset::kKeep320x240, 1);
  OpenWith(saved);

  view_.ClickCheck(IDC_START_640X480);
  EXPECT_FALSE(view_.enabled(IDC_KEEP_320X240));
  EXPECT_TRUE(view_.checked(IDC_KEEP_320X240));
  view_.ClickCheck(IDC_START_640X480);
  EXPECT_TRUE(view_.enabled(IDC_KEEP_320X240));
  view_.ClickCheck(IDC_START_640X480);
  view_.Press(IDC_CONFIRM);

  EXPECT_EQ(rig_.record().Int(offset::kStart640x480), 0);
  EXPECT_EQ(rig_.record().Int(offset::kKeep320x240), 1);
}

// --- Slots --------------------------------------------------------------------

TEST_F(MainDialogTest, SlotListShowsFiveConfigsWithTheLoadedOneSelected) {
  SettingsRecord saved = SavedRecord();
  saved.SetInt(offset::kCurrentSlot, 4);
  OpenWith(saved);
  EXPECT_EQ(view_.entries(), (std::vector<std::string>{"Config: 0", "Config: 1", "Config: 2",
                                                       "Config: 3", "Config: 4"}));
  EXPECT_EQ(view_.selected(), 4);
}

TEST_F(MainDialogTest, SlotSwitchKeepsTheOptionsAndIsSavedOnConfirm) {
  OpenWith(SavedRecord());
  view_.ClickCheck(IDC_WINDOW_MODE);
  view_.ChooseSlot(2);

  EXPECT_TRUE(view_.checked(IDC_WINDOW_MODE));
  ASSERT_EQ(view_.selected(), 2);
  EXPECT_EQ(view_.entries().at(2), "Config: 2");
  EXPECT_EQ(view_.entries().size(), 5u);
  EXPECT_EQ(rig_.record().Int(offset::kCurrentSlot), 2);
  EXPECT_EQ(rig_.program.bindings.CurrentKeyMap(), rig_.record().KeyMap(2));

  view_.Press(IDC_CONFIRM);
  const std::vector<uint8_t> file = FileAfterShutDown();
  ASSERT_EQ(file.size(), kSettingsRecordSize);
  EXPECT_EQ(LoadLeInt32(&file[offset::kCurrentSlot]), 2);
  EXPECT_EQ(LoadLeInt32(&file[offset::kFullScreen]), 0);
}

TEST_F(MainDialogTest, SlotListNotificationsOtherThanSelectionChangeAreIgnored) {
  OpenWith(SavedRecord());
  view_.ChooseSlot(3, kCbnDropDown);
  EXPECT_EQ(rig_.record().Int(offset::kCurrentSlot), 0);
  EXPECT_EQ(rig_.program.bindings.CurrentKeyMap(), rig_.record().KeyMap(0));
}

// A selection change that leaves no entry selected keeps the slot and shows it again.
TEST_F(MainDialogTest, SelectionChangeWithNoEntryKeepsTheSlot) {
  OpenWith(SavedRecord());
  view_.ChooseSlot(2);
  view_.ChooseSlot(-1);
  EXPECT_EQ(rig_.record().Int(offset::kCurrentSlot), 2);
  EXPECT_EQ(view_.selected(), 2);
}

// --- Score reset --------------------------------------------------------------

struct ScoreResetCase {
  const char* name;
  bool answerOk;
  int leaveWith;
  bool fileHoldsDefaults;
};

const ScoreResetCase kScoreResets[] = {
    {"OkThenConfirmSavesTheDefaults", true, IDC_CONFIRM, true},
    {"OkThenCancelKeepsTheFile", true, IDC_CANCEL, false},
    {"CancelInTheBoxThenConfirmKeepsTheScores", false, IDC_CONFIRM, false},
};

class ScoreResetTest : public MainDialogTest,
                       public ::testing::WithParamInterface<ScoreResetCase> {};

TEST_P(ScoreResetTest, ResetReachesTheFileOnlyWhenAnsweredOkAndConfirmed) {
  const ScoreResetCase& c = GetParam();
  SettingsRecord saved = SavedRecord();
  for (size_t i = offset::kRankings; i < kSettingsRecordSize; ++i) {
    saved.bytes[i] = static_cast<uint8_t>(i * 7);
  }
  OpenWith(saved);
  view_.scoreResetAnswer = c.answerOk;

  view_.Press(IDC_SCORE_RESET);
  EXPECT_EQ(view_.scoreResetQuestions(), 1);
  EXPECT_FALSE(view_.result().has_value());
  view_.Press(c.leaveWith);

  SettingsRecord defaults;
  ResetRankingTables(defaults);
  const std::vector<uint8_t> file = FileAfterShutDown();
  ASSERT_EQ(file.size(), kSettingsRecordSize);
  const auto& expected = c.fileHoldsDefaults ? defaults.bytes : saved.bytes;
  EXPECT_TRUE(std::equal(file.begin() + offset::kRankings, file.end(),
                         expected.begin() + offset::kRankings));
}

INSTANTIATE_TEST_SUITE_P(Answers, ScoreResetTest, ::testing::ValuesIn(kScoreResets),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Sub-dialogs ----------------------------------------------------------------

struct AssignEnding {
  const char* name;
  int button;  // 0: the close box
  bool kept;
};

const AssignEnding kAssignEndings[] = {
    {"OkKeepsTheCapture", IDC_ASSIGN_OK, true},
    {"SetButtonKeepsTheCapture", IDC_ASSIGN_CONFIRM, true},
    {"CancelDropsTheCapture", IDC_ASSIGN_CANCEL, false},
    {"CloseBoxDropsTheCapture", 0, false},
};

class KeyConfigTest : public MainDialogTest, public ::testing::WithParamInterface<AssignEnding> {};

TEST_P(KeyConfigTest, EditsController1OfTheCurrentSlot) {
  const AssignEnding& c = GetParam();
  SettingsRecord saved = SavedRecord();
  StoreBinding(saved.KeyMap(2), 0, kUp, KeyBinding{0, kKeyI, 0});
  OpenWith(saved);
  view_.ChooseSlot(2);
  rig_.program.assignController = 3;

  std::string shownAtOpening;
  view_.buttonAssignDialog = [&] {
    FakeButtonAssignView assign(rig_.program.buttonAssign);
    assign.Open();
    shownAtOpening = assign.text(IDC_FIELD_UP);
    assign.Tick();
    assign.Click(IDC_FIELD_UP);
    rig_.devices.ReleaseAll();
    rig_.devices.Hold(kKeyDownArrow);
    assign.Tick();
    rig_.devices.ReleaseAll();
    if (c.button != 0) {
      assign.Press(c.button);
    } else {
      assign.CloseBox();
    }
    return assign.result().value_or(0);
  };
  view_.Press(IDC_KEY_CONFIG);

  EXPECT_EQ(shownAtOpening, "i");
  EXPECT_EQ(rig_.program.assignController, 0);
  EXPECT_FALSE(view_.result().has_value());
  SettingsRecord expected = saved;
  if (c.kept) StoreBinding(expected.KeyMap(2), 0, kUp, KeyBinding{0, kKeyDownArrow, 0});
  for (int slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_TRUE(std::equal(expected.KeyMap(slot), expected.KeyMap(slot) + kKeyMapSize,
                           rig_.record().KeyMap(slot)))
        << "slot " << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(Endings, KeyConfigTest, ::testing::ValuesIn(kAssignEndings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainDialogTest, KeyTestShowsTheSlotSelectedBeforeIt) {
  SettingsRecord saved = SavedRecord();
  StoreBinding(saved.KeyMap(2), 0, kUp, KeyBinding{0, kKeyI, 0});
  OpenWith(saved);
  view_.ChooseSlot(2);

  std::vector<std::string> shown;
  view_.keyTestDialog = [&] {
    FakeKeyTestView test;
    KeyTest& keyTest = rig_.program.keyTest;
    keyTest.OnOpen(test);
    rig_.devices.ReleaseAll();
    rig_.devices.Hold(kKeyI);
    keyTest.OnTimer(test);
    shown.push_back(test.text(IDC_KEY_STATE));
    rig_.devices.ReleaseAll();
    rig_.devices.Hold(kKeyUpArrow);
    keyTest.OnTimer(test);
    shown.push_back(test.text(IDC_KEY_STATE));
    keyTest.OnCommand(test, IDC_CANCEL);
    return test.result().value_or(0);
  };
  view_.Press(IDC_KEY_TEST);

  EXPECT_EQ(shown, (std::vector<std::string>{"U       ", "        "}));
  EXPECT_FALSE(view_.result().has_value());
}

}  // namespace
}  // namespace cfg::testing
