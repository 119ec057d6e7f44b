#include "dialogs/button_assign.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "bindings/name_tables.h"
#include "input/key_codes.h"
#include "res/resource_ids.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/dialogs/input_rig.h"

namespace cfg::testing {
namespace {

// DirectInput key codes.
constexpr int32_t kKey1 = dik::kDigit1;
constexpr int32_t kKey2 = dik::kDigit2;
constexpr int32_t kKeyC = dik::kC;
constexpr int32_t kKeyX = dik::kX;
constexpr int32_t kKeyZ = dik::kZ;
constexpr int32_t kKeyYen = dik::kYen;
constexpr int32_t kKeyCircumflex = dik::kCircumflex;
constexpr int32_t kKeyAt = dik::kAt;
constexpr int32_t kKeyColon = dik::kColon;
constexpr int32_t kKeyNumpadDivide = dik::kDivide;
constexpr int32_t kKeyDownArrow = dik::kDown;
constexpr int32_t kKeyDelete = dik::kDelete;
constexpr uint8_t kVirtualKeyZ = 0x5A;

constexpr PadState kPadB1 = 0x1;
constexpr PadState kPadB2 = 0x2;
constexpr PadState kPadB3 = 0x4;
constexpr PadState kPadB10 = 0x200;
constexpr PadState kPadB11 = 0x400;

// Every key the name table lists, but the ones left out.
std::vector<int32_t> NamedKeysExcept(std::set<int32_t> leftOut) {
  std::vector<int32_t> keys;
  for (const NameEntry* key = KeyNameTable; key->code != kEndOfTable; ++key) {
    if (leftOut.count(key->code) == 0) keys.push_back(key->code);
  }
  return keys;
}

struct BindingChange {
  int position;
  int32_t source;
  int32_t code;
};

// Controller 1 with its keyboard defaults: arrows and z x c v.
ControllerBindings KeyboardDefaults() {
  std::array<uint8_t, kKeyMapSize> keyMap{};
  BuildDefaultKeyMap(keyMap.data(), false);
  return LoadControllerBindings(keyMap.data(), 0);
}

ControllerBindings DefaultsWith(const std::vector<BindingChange>& changes) {
  ControllerBindings bindings = KeyboardDefaults();
  for (const BindingChange& change : changes) {
    SetBinding(bindings[change.position], change.source, change.code);
  }
  return bindings;
}

void ExpectSameBindings(const ControllerBindings& actual, const ControllerBindings& expected) {
  for (int position = 0; position < kPositionCount; ++position) {
    EXPECT_EQ(actual[position].source, expected[position].source) << "position " << position;
    EXPECT_EQ(actual[position].code, expected[position].code) << "position " << position;
  }
}

// Raw key mode, four joysticks at rest, controller 1 on its keyboard defaults.
class ButtonAssignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.UseRawKeys();
    AttachPads(rig_.joystickApi, {0, 1, 2, 3});
    BuildDefaultKeyMap(keyMap_.data(), false);
    dialog_.BeginEditing(keyMap_.data(), 0);
  }

  // Joysticks are detected as the program starts, before any dialog opens.
  void Open() {
    rig_.joysticks.EnumerateJoysticks();
    rig_.joysticks.DetectJoysticks();
    view_.Open();
  }

  // The player holds exactly these inputs through the next tick.
  void Hold(const std::vector<int32_t>& keys, PadState pad1 = 0, PadState pad2 = 0) {
    HoldKeys(rig_.devices, keys);
    HoldPad(rig_.joystickApi, 0, pad1);
    HoldPad(rig_.joystickApi, 1, pad2);
  }

  // Opens the dialog and lets one tick see nothing held.
  void OpenAtRest() {
    Open();
    view_.Tick();
    view_.TakeShown();
  }

  InputRig rig_;
  std::array<uint8_t, kKeyMapSize> keyMap_{};
  ButtonAssign dialog_{rig_.keyboard, rig_.joysticks};
  FakeButtonAssignView view_{dialog_};
};

// --- One capture into each field -------------------------------------------

struct FieldCapture {
  const char* name;
  int field;
  int32_t key;   // DirectInput key held, 0 for none
  int joystick;  // 1-4, 0 for none
  PadState pad;
  std::string text;
  int32_t source;
  int32_t code;
  int nextFocus;
};

const FieldCapture kFieldCaptures[] = {
    {"UpTakesDownArrow", IDC_FIELD_UP, kKeyDownArrow, 0, 0, "↓", 0, kKeyDownArrow, IDC_FIELD_DOWN},
    {"DownTakesYen", IDC_FIELD_DOWN, kKeyYen, 0, 0, "\x5C", 0, 125, IDC_FIELD_LEFT},
    {"LeftTakesJoystick1Up", IDC_FIELD_LEFT, 0, 1, kPadUp, "PAD1:UP", 1, 0x10000, IDC_FIELD_RIGHT},
    {"RightTakesJoystick2Button1", IDC_FIELD_RIGHT, 0, 2, kPadB1, "PAD2:B1", 2, 0x1, IDC_FIELD_B1},
    {"B1TakesJoystick4Button10", IDC_FIELD_B1, 0, 4, kPadB10, "PAD4:B10", 4, 0x200, IDC_FIELD_B2},
    {"B2TakesNumpadDivide", IDC_FIELD_B2, kKeyNumpadDivide, 0, 0, "num/", 0, 181, IDC_FIELD_B3},
    {"B3TakesJoystick3Left", IDC_FIELD_B3, 0, 3, kPadLeft, "PAD3:LEFT", 3, 0x40000, IDC_FIELD_B4},
    {"B4TakesDeleteAndMovesToConfirm", IDC_FIELD_B4, kKeyDelete, 0, 0, "Del", 0, kKeyDelete,
     IDC_ASSIGN_CONFIRM},
    {"RawModeTakesCircumflex", IDC_FIELD_UP, kKeyCircumflex, 0, 0, "^", 0, 144, IDC_FIELD_DOWN},
    {"RawModeTakesAt", IDC_FIELD_UP, kKeyAt, 0, 0, "@", 0, 145, IDC_FIELD_DOWN},
    {"RawModeTakesColon", IDC_FIELD_UP, kKeyColon, 0, 0, ":", 0, 146, IDC_FIELD_DOWN},
    {"ButtonElevenMaskedOutOfAChord", IDC_FIELD_UP, 0, 1, kPadB1 | kPadB11, "PAD1:B1", 1, 0x1,
     IDC_FIELD_DOWN},
};

class FieldCaptureTest : public ButtonAssignTest,
                         public ::testing::WithParamInterface<FieldCapture> {};

TEST_P(FieldCaptureTest, ShowsBindsAndMovesTheFocusOn) {
  const FieldCapture& c = GetParam();
  OpenAtRest();
  view_.Click(c.field);
  if (c.key != 0) HoldKeys(rig_.devices, {c.key});
  if (c.joystick != 0) HoldPad(rig_.joystickApi, c.joystick - 1, c.pad);
  view_.Tick();

  EXPECT_EQ(view_.TakeShown(), (FakeButtonAssignView::Shown{{c.field, c.text}}));
  EXPECT_EQ(view_.focus(), c.nextFocus);
  EXPECT_EQ(dialog_.focusedField(), FieldPosition(c.nextFocus) == -1 ? 0 : c.nextFocus);
  ExpectSameBindings(dialog_.working(), DefaultsWith({{FieldPosition(c.field), c.source, c.code}}));
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldCaptureTest, ::testing::ValuesIn(kFieldCaptures),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Gates: one input at a time, pads before keys, resting pads -------------

struct Tick {
  int click;                  // field the player clicks before the tick, 0 for none
  std::vector<int32_t> keys;  // DirectInput keys held
  PadState pad1;              // joystick 1
  PadState pad2;              // joystick 2
  FakeButtonAssignView::Shown shown;
};

struct CaptureScenario {
  const char* name;
  std::vector<Tick> ticks;  // from the dialog's first tick on
  std::vector<BindingChange> changes;
  int focus;
};

const CaptureScenario kScenarios[] = {
    {"ZAndXTogetherTakeZThenXOnceZIsReleased",
     {{IDC_FIELD_UP, {kKeyZ, kKeyX}, 0, 0, {{IDC_FIELD_UP, "z"}}},
      {0, {kKeyZ, kKeyX}, 0, 0, {}},
      {0, {kKeyX}, 0, 0, {{IDC_FIELD_DOWN, "x"}}},
      {0, {kKeyX}, 0, 0, {}},
      {0, {}, 0, 0, {}}},
     {{kUp, 0, kKeyZ}, {kDown, 0, kKeyX}},
     IDC_FIELD_LEFT},
    {"PadBeforeKeyThenKeyOncePadIsReleased",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {kKeyZ}, kPadB1, 0, {{IDC_FIELD_UP, "PAD1:B1"}}},
      {0, {kKeyZ}, kPadB1, 0, {}},
      {0, {kKeyZ}, 0, 0, {{IDC_FIELD_DOWN, "z"}}}},
     {{kUp, 1, 0x1}, {kDown, 0, kKeyZ}},
     IDC_FIELD_LEFT},
    {"KeysHeldFromTableStartArePassedOverOnceAfterAPad",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {kKey1, kKey2}, kPadB1, 0, {{IDC_FIELD_UP, "PAD1:B1"}}},
      {0, {kKey1, kKey2}, 0, 0, {}},
      {0, {kKey1, kKey2}, 0, 0, {{IDC_FIELD_DOWN, "1"}}}},
     {{kUp, 1, 0x1}, {kDown, 0, kKey1}},
     IDC_FIELD_LEFT},
    {"LowerJoystickFirstAndOnlyItsReleaseCounts",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {}, kPadB3, kPadB1, {{IDC_FIELD_UP, "PAD1:B3"}}},
      {0, {}, 0, kPadB1, {{IDC_FIELD_DOWN, "PAD2:B1"}}},
      {0, {}, 0, kPadB1, {}}},
     {{kUp, 1, 0x4}, {kDown, 2, 0x1}},
     IDC_FIELD_LEFT},
    {"EveryNamedKeyHeldAfterACaptureKeepsTheGateShut",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {}, kPadB1, 0, {{IDC_FIELD_UP, "PAD1:B1"}}},
      {0, NamedKeysExcept({}), 0, 0, {}},
      {0, NamedKeysExcept({}), 0, 0, {}},
      {0, NamedKeysExcept({kKey1}), 0, 0, {{IDC_FIELD_DOWN, "2"}}}},
     {{kUp, 1, 0x1}, {kDown, 0, kKey2}},
     IDC_FIELD_LEFT},
    {"ChordNamesNothingAndHoldsTheGateUntilFullyReleased",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {}, kPadB1 | kPadB2, 0, {}},
      {0, {kKeyZ}, kPadB1, 0, {}},
      {0, {kKeyZ}, 0, 0, {{IDC_FIELD_UP, "z"}}}},
     {{kUp, 0, kKeyZ}},
     IDC_FIELD_DOWN},
    {"DirectionWithAButtonNamesNothing",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_UP, {}, kPadUp | kPadB1, 0, {}},
      {0, {}, kPadUp, 0, {}},
      {0, {}, 0, 0, {}},
      {0, {}, kPadUp, 0, {{IDC_FIELD_UP, "PAD1:UP"}}}},
     {{kUp, 1, 0x10000}},
     IDC_FIELD_DOWN},
    {"ButtonElevenAloneLeavesTheKeysFree",
     {{0, {}, 0, 0, {}}, {IDC_FIELD_UP, {kKeyZ}, kPadB11, 0, {{IDC_FIELD_UP, "z"}}}},
     {{kUp, 0, kKeyZ}},
     IDC_FIELD_DOWN},
    {"KeyHeldAtOpeningIsTakenUnassignedAndMustBeReleased",
     {{0, {kKeyZ}, 0, 0, {}},
      {IDC_FIELD_UP, {kKeyZ}, 0, 0, {}},
      {0, {kKeyZ, kKeyX}, 0, 0, {}},
      {0, {kKeyX}, 0, 0, {{IDC_FIELD_UP, "x"}}}},
     {{kUp, 0, kKeyX}},
     IDC_FIELD_DOWN},
    {"AfterB4TheFocusIsOnConfirmAndNothingMoreIsAssigned",
     {{0, {}, 0, 0, {}},
      {IDC_FIELD_B4, {kKeyC}, 0, 0, {{IDC_FIELD_B4, "c"}}},
      {0, {}, 0, 0, {}},
      {0, {kKeyZ}, 0, 0, {}},
      {0, {}, 0, 0, {}},
      {0, {}, kPadB1, 0, {}}},
     {{kB4, 0, kKeyC}},
     IDC_ASSIGN_CONFIRM},
    {"StickRestingUpBlocksNothingAndANewDirectionIsTaken",
     {{0, {}, kPadUp, 0, {}},
      {IDC_FIELD_UP, {kKeyZ}, kPadUp, 0, {{IDC_FIELD_UP, "z"}}},
      {0, {}, kPadUp, 0, {}},
      {0, {}, kPadUp | kPadRight, 0, {{IDC_FIELD_DOWN, "PAD1:RIGHT"}}}},
     {{kUp, 0, kKeyZ}, {kDown, 1, 0x80000}},
     IDC_FIELD_LEFT},
    {"ButtonHeldAtOpeningIsTakenAfterOneRelease",
     {{0, {}, kPadB1, 0, {}},
      {IDC_FIELD_UP, {}, kPadB1, 0, {}},
      {0, {}, 0, 0, {}},
      {0, {}, kPadB1, 0, {{IDC_FIELD_UP, "PAD1:B1"}}}},
     {{kUp, 1, 0x1}},
     IDC_FIELD_DOWN},
    {"RestingButtonOnOneJoystickLeavesTheOtherFree",
     {{0, {}, kPadB1, 0, {}}, {IDC_FIELD_UP, {}, kPadB1, kPadB1, {{IDC_FIELD_UP, "PAD2:B1"}}}},
     {{kUp, 2, 0x1}},
     IDC_FIELD_DOWN},
};

class CaptureScenarioTest : public ButtonAssignTest,
                            public ::testing::WithParamInterface<CaptureScenario> {};

TEST_P(CaptureScenarioTest, TakesInputsInTurn) {
  const CaptureScenario& scenario = GetParam();
  Open();
  view_.TakeShown();
  for (size_t i = 0; i < scenario.ticks.size(); ++i) {
    const Tick& tick = scenario.ticks[i];
    if (tick.click != 0) view_.Click(tick.click);
    Hold(tick.keys, tick.pad1, tick.pad2);
    view_.Tick();
    EXPECT_EQ(view_.TakeShown(), tick.shown) << "tick " << i;
  }
  ExpectSameBindings(dialog_.working(), DefaultsWith(scenario.changes));
  EXPECT_EQ(view_.focus(), scenario.focus);
}

INSTANTIATE_TEST_SUITE_P(Gates, CaptureScenarioTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// An axis whose range is empty reads LEFT at every reading.
TEST_F(ButtonAssignTest, JoystickStuckOnADirectionBlocksNeitherKeysNorItsButtons) {
  JoystickCaps emptyX = FakeJoystickApi::FullRange();
  emptyX.xMax = 0;
  rig_.joystickApi.SetJoystick(0, emptyX, kAxisCentre, kAxisCentre, 0);
  OpenAtRest();
  view_.Click(IDC_FIELD_UP);

  HoldKeys(rig_.devices, {kKeyZ});
  view_.Tick();
  HoldKeys(rig_.devices, {});
  view_.Tick();
  HoldKeys(rig_.devices, {kKeyX});
  view_.Tick();
  HoldKeys(rig_.devices, {});
  rig_.joystickApi.SetPosition(0, kAxisCentre, kAxisCentre, kPadB2);
  view_.Tick();

  EXPECT_EQ(view_.TakeShown(),
            (FakeButtonAssignView::Shown{
                {IDC_FIELD_UP, "z"}, {IDC_FIELD_DOWN, "x"}, {IDC_FIELD_LEFT, "PAD1:B2"}}));
}

TEST_F(ButtonAssignTest, JoystickThatCannotBeReadCountsAsAtRest) {
  rig_.joystickApi.SetNumDevs(1);  // id 1 answers the presence test, yet no reading exists
  HoldPad(rig_.joystickApi, 1, kPadB1);
  OpenAtRest();
  ASSERT_TRUE(rig_.joysticks.present(1));
  view_.Click(IDC_FIELD_UP);
  HoldKeys(rig_.devices, {kKeyZ});
  view_.Tick();

  EXPECT_EQ(view_.TakeShown(), (FakeButtonAssignView::Shown{{IDC_FIELD_UP, "z"}}));
  EXPECT_EQ(dialog_.working()[kUp].code, kKeyZ);
}

TEST_F(ButtonAssignTest, AbsentJoystickIsNeverRead) {
  rig_.joystickApi.SetAttached(1, false);
  OpenAtRest();
  HoldPad(rig_.joystickApi, 1, kPadB1);
  view_.Click(IDC_FIELD_UP);
  view_.Tick();

  EXPECT_EQ(view_.TakeShown(), FakeButtonAssignView::Shown{});
  const std::vector<uint32_t>& queried = rig_.joystickApi.queriedIds();
  EXPECT_EQ(std::count(queried.begin(), queried.end(), 1u), 0);
  EXPECT_EQ(std::count(queried.begin(), queried.end(), 0u), 2);
}

// --- Virtual-key mode ---------------------------------------------------------

class VirtualKeyModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildDefaultKeyMap(keyMap_.data(), false);
    dialog_.BeginEditing(keyMap_.data(), 0);
    view_.Open();
    view_.Click(IDC_FIELD_UP);
    view_.TakeShown();
  }

  InputRig rig_;  // never started: the Windows keyboard state is read
  std::array<uint8_t, kKeyMapSize> keyMap_{};
  ButtonAssign dialog_{rig_.keyboard, rig_.joysticks};
  FakeButtonAssignView view_{dialog_};
};

TEST_F(VirtualKeyModeTest, ReadsKeysByVirtualKeyCode) {
  rig_.devices.PressVirtualKey(kVirtualKeyZ);
  view_.Tick();
  EXPECT_EQ(view_.TakeShown(), (FakeButtonAssignView::Shown{{IDC_FIELD_UP, "z"}}));
}

// "^", "@" and ":" have no virtual-key code, so no key state can light them.
TEST_F(VirtualKeyModeTest, CircumflexAtAndColonNeverReadAsDown) {
  std::set<uint8_t> usedByNamedKeys;
  for (const NameEntry* key = KeyNameTable; key->code != kEndOfTable; ++key) {
    usedByNamedKeys.insert(ScanToVkTable[key->code & 0xFF]);
  }
  for (int vk = 1; vk < 256; ++vk) {
    if (usedByNamedKeys.count(static_cast<uint8_t>(vk)) == 0) {
      rig_.devices.PressVirtualKey(static_cast<uint8_t>(vk));
    }
  }
  view_.Tick();
  view_.Tick();
  EXPECT_EQ(view_.TakeShown(), FakeButtonAssignView::Shown{});
  EXPECT_EQ(dialog_.working()[kUp].code, dik::kUp);
}

// --- Opening ----------------------------------------------------------------

TEST_F(ButtonAssignTest, OpeningFillsTheFieldsInPositionOrderAndStartsTheTimer) {
  Open();
  EXPECT_EQ(view_.TakeShown(), (FakeButtonAssignView::Shown{{IDC_FIELD_UP, "↑"},
                                                            {IDC_FIELD_DOWN, "↓"},
                                                            {IDC_FIELD_LEFT, "←"},
                                                            {IDC_FIELD_RIGHT, "→"},
                                                            {IDC_FIELD_B1, "z"},
                                                            {IDC_FIELD_B2, "x"},
                                                            {IDC_FIELD_B3, "c"},
                                                            {IDC_FIELD_B4, "v"}}));
  EXPECT_TRUE(view_.timerRunning());
  EXPECT_EQ(dialog_.focusedField(), 0);
}

TEST_F(ButtonAssignTest, ReopeningForgetsTheFocusedFieldAndTheHeldKey) {
  OpenAtRest();
  view_.Click(IDC_FIELD_B1);
  HoldKeys(rig_.devices, {kKeyZ});
  view_.Tick();
  view_.Press(IDC_ASSIGN_CANCEL);

  dialog_.BeginEditing(keyMap_.data(), 0);
  FakeButtonAssignView reopened(dialog_);
  reopened.Open();
  reopened.TakeShown();
  HoldKeys(rig_.devices, {kKeyZ, kKeyX});
  reopened.Tick();
  reopened.Click(IDC_FIELD_UP);
  reopened.Tick();

  EXPECT_EQ(reopened.TakeShown(), FakeButtonAssignView::Shown{});
  ExpectSameBindings(dialog_.working(), KeyboardDefaults());
}

TEST_F(ButtonAssignTest, ReopeningTakesTheRestingStateAgain) {
  OpenAtRest();
  view_.Press(IDC_ASSIGN_CANCEL);

  HoldPad(rig_.joystickApi, 0, kPadB1);
  FakeButtonAssignView reopened(dialog_);
  reopened.Open();
  reopened.TakeShown();
  reopened.Tick();
  reopened.Click(IDC_FIELD_UP);
  HoldKeys(rig_.devices, {kKeyZ});
  reopened.Tick();

  EXPECT_EQ(reopened.TakeShown(), (FakeButtonAssignView::Shown{{IDC_FIELD_UP, "z"}}));
}

struct FieldTextCase {
  const char* name;
  int32_t source;
  int32_t code;
  std::string text;
};

const FieldTextCase kFieldTexts[] = {
    {"KeyName", 0, dik::kUp, "↑"},
    {"YenKey", 0, 125, "\x5C"},
    {"KeyWithoutName", 0, 1, ""},
    {"KeyCodeAboveByteHasNoName", 0, 300, ""},
    {"PadDirection", 2, 0x10000, "PAD2:UP"},
    {"PadButton16", 1, 0x8000, "PAD1:B16"},
    {"PadButtonThatCannotBeCaptured", 1, 0x400, "PAD1:B11"},
    {"PadSourceSeven", 7, 0x1, "PAD7:B1"},
    {"PadChordHasNoName", 1, 0x3, ""},
};

class FieldTextTest : public ButtonAssignTest,
                      public ::testing::WithParamInterface<FieldTextCase> {};

TEST_P(FieldTextTest, OpeningShowsTheBindingsName) {
  const FieldTextCase& c = GetParam();
  StoreBinding(keyMap_.data(), 0, kRight, KeyBinding{c.source, c.code, 0});
  dialog_.BeginEditing(keyMap_.data(), 0);
  Open();
  EXPECT_EQ(view_.text(IDC_FIELD_RIGHT), c.text);
}

INSTANTIATE_TEST_SUITE_P(Bindings, FieldTextTest, ::testing::ValuesIn(kFieldTexts),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Commands and focus ------------------------------------------------------

struct CommandCase {
  const char* name;
  int id;
  int result;  // 0: the dialog stays open
};

const CommandCase kCommands[] = {
    {"OkConfirms", IDC_ASSIGN_OK, kDialogConfirmed},
    {"SetButtonConfirms", IDC_ASSIGN_CONFIRM, kDialogConfirmed},
    {"CancelCancels", IDC_ASSIGN_CANCEL, kDialogCancelled},
    {"LabelIsIgnored", IDC_LABEL_UP, 0},
    {"FieldClickIsIgnored", IDC_FIELD_UP, 0},
};

class CommandTest : public ButtonAssignTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, EndsTheDialogOnlyForTheButtons) {
  const CommandCase& c = GetParam();
  Open();
  view_.Press(c.id);
  EXPECT_EQ(view_.result().value_or(0), c.result);
  EXPECT_EQ(view_.timerRunning(), c.result == 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ButtonAssignTest, CloseBoxCancels) {
  Open();
  view_.CloseBox();
  EXPECT_EQ(view_.result(), kDialogCancelled);
}

struct FocusCase {
  const char* name;
  int id;
  int notification;
  int focusedField;
};

constexpr int kEnChange = 0x0300;

const FocusCase kFocusCases[] = {
    {"SetFocusOnAnotherField", IDC_FIELD_B3, kEnSetFocus, IDC_FIELD_B3},
    {"KillFocusLeavesNoField", IDC_FIELD_UP, kEnKillFocus, 0},
    {"OtherNotificationIsIgnored", IDC_FIELD_DOWN, kEnChange, IDC_FIELD_UP},
    {"SetFocusOnAButtonIsIgnored", IDC_ASSIGN_CONFIRM, kEnSetFocus, IDC_FIELD_UP},
    {"SetFocusOnALabelIsIgnored", IDC_LABEL_DOWN, kEnSetFocus, IDC_FIELD_UP},
};

class FocusTest : public ButtonAssignTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusTest, TracksTheFocusedBindingField) {
  const FocusCase& c = GetParam();
  Open();
  view_.Click(IDC_FIELD_UP);
  dialog_.OnCommand(view_, c.id, c.notification);
  EXPECT_EQ(dialog_.focusedField(), c.focusedField);
}

INSTANTIATE_TEST_SUITE_P(Notifications, FocusTest, ::testing::ValuesIn(kFocusCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The working copy and the key map ----------------------------------------

class CommitTest : public ButtonAssignTest, public ::testing::WithParamInterface<int> {};

TEST_P(CommitTest, ReplacesOnlyTheEditedControllersSourceAndCode) {
  const int controller = GetParam();
  std::array<uint8_t, kKeyMapSize> keyMap;
  for (size_t i = 0; i < keyMap.size(); ++i) keyMap[i] = static_cast<uint8_t>(i * 7 + 3);
  const std::array<uint8_t, kKeyMapSize> before = keyMap;

  dialog_.BeginEditing(keyMap.data(), controller);
  OpenAtRest();
  view_.Click(IDC_FIELD_RIGHT);
  HoldKeys(rig_.devices, {kKeyDownArrow});
  view_.Tick();
  dialog_.CommitTo(keyMap.data(), controller);

  std::array<uint8_t, kKeyMapSize> expected = before;
  const KeyBinding old = LoadBinding(before.data(), controller, kRight);
  StoreBinding(expected.data(), controller, kRight, KeyBinding{0, kKeyDownArrow, old.handler});
  EXPECT_EQ(keyMap, expected);
}

INSTANTIATE_TEST_SUITE_P(Controllers, CommitTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) {
                           return "Controller" + std::to_string(info.param + 1);
                         });

}  // namespace
}  // namespace cfg::testing
