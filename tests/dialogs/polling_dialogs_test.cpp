#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "bindings/name_tables.h"
#include "dialogs/field_text.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/fake_joystick_api.h"

// The 100 ms ticks of both dialogs may not touch the heap: this program's
// operator new counts while asked to.
namespace {

int allocationCount = 0;
bool countingAllocations = false;
}  // namespace

void* operator new(std::size_t size) {
  if (countingAllocations) ++allocationCount;
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace cfg::testing {
namespace {

template <typename Run>
int AllocationsDuring(Run run) {
  allocationCount = 0;
  countingAllocations = true;
  run();
  countingAllocations = false;
  return allocationCount;
}

constexpr int kFieldIds[kPositionCount] = {IDC_FIELD_UP,    IDC_FIELD_DOWN, IDC_FIELD_LEFT,
                                           IDC_FIELD_RIGHT, IDC_FIELD_B1,   IDC_FIELD_B2,
                                           IDC_FIELD_B3,    IDC_FIELD_B4};

int32_t NamedCode(const NameEntry* table, const std::string& name) {
  for (const NameEntry* entry = table; entry->code != kEndOfTable; ++entry) {
    if (name == entry->name) return entry->code;
  }
  ADD_FAILURE() << "no input named " << name;
  return 0;
}

// Joysticks 1 and 2 attached; controller 1 edited from its keyboard defaults.
struct Rig {
  explicit Rig(bool rawKeys) {
    if (!rawKeys) devices.Fail(FakeInputDevices::Call::kCreateDirectInput, -1);
    pads.Attach(0);
    pads.Attach(1);
    input.StartInput(1);
    joysticks.DetectJoysticks();
    BuildDefaultKeyMap(keyMap.data(), false);
    dialog.BeginEditing(keyMap.data(), 0);
    view.Open();
  }

  // Steps, space-separated: "T" a tick, "F:B1" click a field (or "F:CONFIRM"),
  // "K:z" hold a key too, "K-" release every key, "I:x" hold just x inside the
  // next focus move, "P2:B1+B2" joystick 2 holds exactly these, "P2-" releases
  // them. No tick may touch the heap.
  void Run(const std::string& script) {
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const std::string arg = step.size() > 2 ? step.substr(2) : "";
      if (step == "T") {
        EXPECT_EQ(AllocationsDuring([this] { view.Tick(); }), 0) << "a tick allocated";
      } else if (step[0] == 'F') {
        view.Click(arg == "CONFIRM" ? IDC_ASSIGN_CONFIRM : kFieldIds[Position(arg)]);
      } else if (step == "K-") {
        devices.ReleaseAll();
      } else if (step[0] == 'K') {
        devices.Hold(static_cast<uint8_t>(NamedCode(KeyNameTable, arg)));
      } else if (step[0] == 'I') {
        view.keyInside = NamedCode(KeyNameTable, arg);
      } else {
        PadState state = 0;
        std::istringstream names(step.size() > 3 ? step.substr(3) : "");
        for (std::string name; std::getline(names, name, '+');) state |= PadBit(name);
        pads.Hold(static_cast<uint32_t>(step[1] - '1'), state);
      }
    }
  }

  static int Position(const std::string& name) {
    const std::string names[] = {"UP", "DOWN", "LEFT", "RIGHT", "B1", "B2", "B3", "B4"};
    return static_cast<int>(std::find(std::begin(names), std::end(names), name) - names);
  }
  // A direction is the pad's own bit, Bn is bit n - 1.
  static PadState PadBit(const std::string& name) {
    const PadState directions[] = {kPadUp, kPadDown, kPadLeft, kPadRight};
    return Position(name) < 4 ? directions[Position(name)] : 1u << (std::stoi(name.substr(1)) - 1);
  }

  // The eight fields' texts, space-separated.
  std::string Fields() const {
    std::string texts;
    for (int id : kFieldIds) texts += (texts.empty() ? "" : " ") + view.text(id);
    return texts;
  }

  FakeInputDevices devices;
  FakeJoystickApi pads;
  Keyboard keyboard{devices};
  Joysticks joysticks{pads};
  std::array<uint8_t, kKeyMapSize> keyMap{};
  ButtonAssign dialog{keyboard, joysticks};
  FakeButtonAssignView view{dialog, &devices};
  Input input{keyboard, joysticks};
  Bindings bindings{keyboard, joysticks};
  KeyTest keyTest{input, bindings};
};

struct CaptureCase {
  const char* name;
  const char* script;
  const char* fields;  // after the script
  const char* focus;   // field name, or CONFIRM
};

const CaptureCase kCaptureCases[] = {
    {"NothingHeld", "F:UP T T", "↑ ↓ ← → z x c v", "UP"},
    {"HeldKeyTakenOnce", "F:UP K:q T T T", "q ↓ ← → z x c v", "DOWN"},
    {"ReleasedKeyTakenAgain", "F:UP K:q T K- T K:q T", "q q ← → z x c v", "LEFT"},
    {"FirstHeldKeyInTableOrder", "F:B1 K:v K:m K:1 T", "↑ ↓ ← → 1 x c v", "B2"},
    {"PadBeforeKey", "F:UP T K:1 P1:B3 T", "PAD1:B3 ↓ ← → z x c v", "DOWN"},
    {"SecondJoystick", "F:RIGHT T P2:LEFT T", "↑ ↓ ← PAD2:LEFT z x c v", "B1"},
    {"HeldPadBlocksKeys", "F:UP T P1:B1 T K:z T", "PAD1:B1 ↓ ← → z x c v", "DOWN"},
    {"ReleasedPadTakenAgain", "F:UP T P1:B10 T P1- T P1:B10 T", "PAD1:B10 PAD1:B10 ← → z x c v",
     "LEFT"},
    {"ChordHoldsUntilReleased", "F:UP T P1:B1+B2 T P1:B1 T", "↑ ↓ ← → z x c v", "UP"},
    {"AfterAChord", "F:UP T P1:B1+B2 T P1- T P1:B2 T", "PAD1:B2 ↓ ← → z x c v", "DOWN"},
    {"ButtonPast10Ignored", "F:UP T P1:B11 T K:z T", "z ↓ ← → z x c v", "DOWN"},
    {"RestingAtOpenIgnored", "P1:DOWN T F:UP T", "↑ ↓ ← → z x c v", "UP"},
    {"RestingTakenOnceReleased", "P1:DOWN T F:UP P1- T P1:DOWN T", "PAD1:DOWN ↓ ← → z x c v",
     "DOWN"},
    {"NewBitBesideARestingOne", "P2:B1 T F:UP P2:B1+B2 T", "PAD2:B2 ↓ ← → z x c v", "DOWN"},
    {"NoFieldTakesButAssignsNothing", "T K:z T F:UP T", "↑ ↓ ← → z x c v", "UP"},
    {"FocusLeftTheFields", "F:UP F:CONFIRM K:z T", "↑ ↓ ← → z x c v", "CONFIRM"},
    {"LastFieldMovesToConfirm", "F:B4 K:z T K- K:x T", "↑ ↓ ← → z x c z", "CONFIRM"},
    {"KeyHeldSinceAPadWaits", "F:UP T K:1 P1:B1 T P1- T", "PAD1:B1 ↓ ← → z x c v", "DOWN"},
    {"KeyHeldSinceAPadLater", "F:UP T K:1 P1:B1 T P1- T T", "PAD1:B1 1 ← → z x c v", "LEFT"},
    {"TickInsideATickTakesNothing", "F:UP K:z I:x T", "z ↓ ← → z x c v", "DOWN"},
};

class CaptureTest : public ::testing::TestWithParam<std::tuple<CaptureCase, bool>> {};

TEST_P(CaptureTest, TakesOneHeldNamedInputIntoTheFocusedField) {
  const auto& [c, rawKeys] = GetParam();
  Rig rig(rawKeys);
  rig.Run(c.script);
  EXPECT_EQ(rig.Fields(), c.fields);
  const std::string focus = c.focus;
  EXPECT_EQ(rig.view.focus(),
            focus == "CONFIRM" ? IDC_ASSIGN_CONFIRM : kFieldIds[Rig::Position(focus)]);
  for (int position = 0; position < kPositionCount; ++position) {
    EXPECT_EQ(BindingFieldText(rig.dialog.working()[position]).view(),
              rig.view.text(kFieldIds[position]));
  }
  EXPECT_FALSE(rig.view.result.has_value());
}

INSTANTIATE_TEST_SUITE_P(Inputs, CaptureTest,
                         ::testing::Combine(::testing::ValuesIn(kCaptureCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Raw" : "VirtualKey");
                         });

// Its buttons end the dialog and stop its timer; the close box's window takes
// the timer with it.
TEST(ButtonAssignTest, EndsByItsButtonsAndTheCloseBox) {
  const struct {
    void (ButtonAssign::*event)(ButtonAssignView&);
    int result;
    bool timerRunning;
  } kEvents[] = {{&ButtonAssign::OnConfirmed, kDialogConfirmed, false},
                 {&ButtonAssign::OnCancelled, kDialogCancelled, false},
                 {&ButtonAssign::OnClose, kDialogCancelled, true}};
  for (const auto& c : kEvents) {
    Rig rig(true);
    (rig.dialog.*c.event)(rig.view);
    EXPECT_EQ(rig.view.result, c.result);
    EXPECT_EQ(rig.view.timerRunning, c.timerRunning);
  }
}

// Opening shows the edited controller's eight bindings, each once: a key by
// name, a pad input as PAD<source>:<name> whatever the source, and a key
// without a name, a chord or a key's code from a pad as an empty field. The
// commit changes that controller only.
TEST(ButtonAssignTest, ShowsAndCommitsOnlyTheEditedController) {
  Rig rig(true);
  std::array<uint8_t, kKeyMapSize> keyMap = rig.keyMap;
  StoreBinding(keyMap.data(), 2, kUp, KeyBinding{INT_MIN, 0x8000, 0});
  StoreBinding(keyMap.data(), 2, kDown, KeyBinding{0, 1, 0});
  StoreBinding(keyMap.data(), 2, kLeft, KeyBinding{3, 44, 0});
  StoreBinding(keyMap.data(), 2, kB3, KeyBinding{3, 0x3, 0x77});
  rig.dialog.BeginEditing(keyMap.data(), 2);
  const int shownBefore = rig.view.shown();
  rig.view.Open();
  EXPECT_EQ(rig.view.shown() - shownBefore, kPositionCount);
  EXPECT_TRUE(rig.view.timerRunning);
  EXPECT_EQ(rig.Fields(), "PAD-2147483648:B16   y 1 2  4");
  rig.Run("F:B3 T P2:UP T");
  std::array<uint8_t, kKeyMapSize> expected = keyMap;
  StoreBinding(expected.data(), 2, kB3, KeyBinding{2, static_cast<int32_t>(kPadUp), 0x77});
  rig.dialog.CommitTo(keyMap.data(), 2);
  EXPECT_EQ(keyMap, expected);
}

TEST(FieldTextTest, AnOverlongNameIsCutToTheStorage) {
  const std::string name(60, 'n');
  const std::string text(FieldText::PadInput(INT_MIN, name.c_str()).view());
  EXPECT_EQ(text, ("PAD-2147483648:" + name).substr(0, 48));
}

// The default key maps, with joystick 1 in them when asked: controller 1 is
// shown every tick, each text with a tick run inside it, as a message pumped
// there would.
TEST(KeyTestTest, ShowsController1EveryTick) {
  const struct {
    bool joystick1;
    const char* script;
    const char* shown;
  } kCases[] = {
      {false, "K:↑ K:↓ K:← K:→ K:z K:x K:c K:v", "UDLR1234"},
      {true, "K:↑ P1:LEFT+B4", "  L    4"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script);
    Rig rig(true);
    BuildDefaultKeyMap(rig.keyMap.data(), c.joystick1);
    rig.bindings.SetCurrentKeyMap(rig.keyMap.data());
    FakeKeyTestView view(&rig.keyTest);
    rig.keyTest.OnOpen(view);
    EXPECT_TRUE(view.timerRunning);
    rig.Run(c.script);
    EXPECT_EQ(AllocationsDuring([&] { rig.keyTest.OnTimer(view); }), 0);
    EXPECT_EQ(view.text(IDC_KEY_STATE), c.shown);
    EXPECT_EQ(view.shown(), 1);
    rig.keyTest.OnCancelled(view);
    EXPECT_EQ(view.result, kDialogCancelled);
    EXPECT_FALSE(view.timerRunning);
  }
}

// The key maps the dialogs edit and evaluate.
// Three little-endian words at 96 bytes per controller, 12 per position;
// a slot outside the key map loads as zero and stores nothing.
TEST(KeyMapTest, ABindingIsThreeLittleEndianWordsInItsOwnTwelveBytes) {
  const KeyBinding odd{0x01020304, -2, 0xA0B0C0D0};
  const std::vector<uint8_t> words = {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0xD0, 0xC0, 0xB0, 0xA0};
  const int kSlots[][3] = {
      // controller, position, inside the key map
      {0, 0, true}, {3, 7, true}, {-1, 7, false}, {4, 0, false}, {3, -1, false}, {0, 8, false},
  };
  for (const auto& [controller, position, inside] : kSlots) {
    SCOPED_TRACE(::testing::Message() << controller << ", " << position);
    std::vector<uint8_t> keyMap(kKeyMapSize + 24, 0xEE), expected = keyMap;
    StoreBinding(keyMap.data() + 12, controller, position, odd);
    if (inside) {
      std::copy(words.begin(), words.end(),
                expected.begin() + 12 + controller * 96 + position * 12);
    }
    EXPECT_EQ(keyMap, expected);
    const KeyBinding loaded = LoadBinding(keyMap.data() + 12, controller, position);
    EXPECT_EQ(loaded.source, inside ? odd.source : 0);
    EXPECT_EQ(loaded.code, inside ? odd.code : 0);
    EXPECT_EQ(loaded.handler, inside ? odd.handler : 0);
  }
}

// The defaults touch nothing past the last slot's key map.
TEST(KeyMapTest, DefaultKeyMapsEndWithTheLastSlot) {
  SettingsRecord record;
  BuildDefaultKeyMaps(record, true);
  const auto end = record.bytes.begin() + record_offset::KeyMap(kSlotCount - 1) + kKeyMapSize;
  EXPECT_EQ(std::count(end, record.bytes.end(), 0), record.bytes.end() - end);
}

// One binding of a key map otherwise all Esc (up), with z and key byte 0 held
// and joystick 1, the only one polled, pushed down with button 2: the bit of
// that binding's position.
TEST(KeyMapTest, EvaluationGivesTheBitOfEachActiveBinding) {
  constexpr int32_t kKeyZ = 44;
  const struct {
    const char* name;
    int controller, position;
    int32_t source, code;
    PadState state;
  } kCases[] = {
      {"HeldKey", 0, kUp, 0, kKeyZ, kPadUp},
      {"KeyCodeWrapsAtAByte", 3, kB4, 0, kKeyZ + 0x100, 0x8},
      {"KeyUp", 0, kB1, 0, kKeyZ + 1, 0},
      {"PadBit", 1, kB2, 1, static_cast<int32_t>(kPadDown), 0x2},
      {"PadBitAmongOthers", 2, kLeft, 1, static_cast<int32_t>(kPadDown | kPadUp), kPadLeft},
      {"PadBitNotHeld", 0, kRight, 1, static_cast<int32_t>(kPadUp), 0},
      {"JoystickNotPolled", 0, kDown, 2, 0x2, 0},
      {"SourcePastTheJoysticks", 0, kB3, 5, 0x2, 0},
      {"NegativeSource", 0, kB3, -1, 0x2, 0},
      {"ControllerBelow", -1, kUp, 0, kKeyZ, 0},
      {"ControllerPast", 4, kUp, 0, kKeyZ, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Rig rig(true);
    rig.Run("K:z P1:DOWN+B2");
    rig.devices.keys[0] = 0x80;
    rig.keyboard.PollKeyboard();
    rig.joysticks.PollJoysticks(0);
    // The key map lies at an address ending in 0x01 and, once installed, key
    // handlers (1) follow the evaluator: a read of handlers outside the 32
    // installed, on either side, would find a key handler, and a write past
    // them shows.
    std::vector<uint8_t> storage(kKeyMapSize + 256);
    uint8_t* keyMap = storage.data();
    while ((reinterpret_cast<uintptr_t>(keyMap) & 0xFF) != 1) ++keyMap;
    for (int at = 0; at < kControllerCount * kPositionCount; ++at) {
      StoreBinding(keyMap, at / kPositionCount, at % kPositionCount, KeyBinding{0, 1, 0});
    }
    StoreBinding(keyMap, c.controller, c.position, KeyBinding{c.source, c.code, 0});
    struct {
      Bindings bindings;
      std::array<uint8_t, 8> after;
    } laid{Bindings(rig.keyboard, rig.joysticks), {}};
    Bindings& bindings = laid.bindings;
    EXPECT_EQ(bindings.EvaluateController(c.controller), 0u);
    bindings.SetCurrentKeyMap(keyMap);
    EXPECT_EQ(bindings.EvaluateController(c.controller), 0u);  // no handlers yet
    bindings.InstallBindingHandlers();
    EXPECT_EQ(laid.after, decltype(laid.after){});
    laid.after.fill(1);
    EXPECT_EQ(bindings.EvaluateController(c.controller), c.state);
    bindings.SetCurrentKeyMap(keyMap);
    EXPECT_EQ(bindings.EvaluateController(c.controller), 0u);
  }
}

// Pad button n is bit n - 1.
TEST(NameTablesTest, PadButtonNIsBitNMinus1) {
  for (int32_t n = 1; n <= 16; ++n) {
    const NameEntry* button = FindPadButtonName(1 << (n - 1));
    EXPECT_EQ(std::string(button ? button->name : ""), "B" + std::to_string(n));
  }
}

}  // namespace
}  // namespace cfg::testing
