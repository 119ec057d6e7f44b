#include "bindings/key_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "bindings/name_tables.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

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

TEST(KeyMapTest, ControllerCopiesAndSetBindingKeepOtherBytesAndHandlers) {
  std::vector<uint8_t> from(kKeyMapSize), to(kKeyMapSize, 0xEE);
  for (size_t i = 0; i < from.size(); ++i) from[i] = static_cast<uint8_t>(i);
  ControllerBindings bindings = LoadControllerBindings(from.data(), 2);
  SetBinding(bindings[7], 3, kPadDown);
  StoreControllerBindings(to.data(), 2, bindings);
  for (size_t i = 0; i < to.size(); ++i) {
    if (i >= 276 && i < 284) continue;  // the edited binding
    EXPECT_EQ(to[i], i >= 192 && i < 288 ? from[i] : 0xEE) << i;
  }
  EXPECT_EQ(LoadBinding(to.data(), 2, 7).source, 3);
  EXPECT_EQ(LoadBinding(to.data(), 2, 7).code, static_cast<int32_t>(kPadDown));
}

// One binding of a key map otherwise all Esc (up), with z and key byte 0 held and
// joystick 1 pushed down with button 2: the bit of that binding's position.
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
  FakeInputDevices devices;
  FakeJoystickApi pads;
  Keyboard keyboard(devices);
  Joysticks joysticks(pads);
  keyboard.StartDirectInput(1);
  pads.Attach(0);
  pads.Attach(1);
  pads.Hold(0, kPadDown | 0x2);
  joysticks.EnumerateJoysticks();
  joysticks.DetectJoysticks();
  joysticks.PollJoysticks(0);
  devices.Hold(kKeyZ);
  devices.keys[0] = 0x80;
  keyboard.PollKeyboard();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
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
    } laid{Bindings(keyboard, joysticks), {}};
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

// Each key has one name, each name one key; a chord, the end marker or a code
// past the table finds nothing.
TEST(NameTablesTest, KeyNamesAreUniqueAndUnnamedCodesFindNothing) {
  std::set<std::string> names;
  for (int i = 0; i < kKeyNameCount; ++i) {
    EXPECT_TRUE(names.insert(KeyNameTable[i].name).second) << KeyNameTable[i].name;
    EXPECT_EQ(FindKeyName(KeyNameTable[i].code), &KeyNameTable[i]);
  }
  for (int32_t n = 1; n <= 16; ++n) {  // button n is bit n - 1
    const NameEntry* button = FindPadButtonName(1 << (n - 1));
    EXPECT_EQ(std::string(button ? button->name : ""), "B" + std::to_string(n));
  }
  for (int32_t code : {-1, 0, 0x3, 0x10001, 256 + 44}) EXPECT_EQ(FindPadButtonName(code), nullptr);
  for (int32_t code : {-1, 0, 1, 300}) EXPECT_EQ(FindKeyName(code), nullptr) << code;
}

}  // namespace
}  // namespace cfg
