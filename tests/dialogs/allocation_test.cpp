// The capture and key-test ticks run every 100 ms for as long as their dialog
// is open; neither may touch the heap, whether it captures, shows or waits.
// This program's global operator new counts what is allocated around a tick.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"
#include "input/input.h"
#include "input/key_codes.h"
#include "res/resource_ids.h"
#include "tests/dialogs/lean_dialog_views.h"
#include "tests/support/lean_input_fakes.h"

namespace {

int allocationCount = 0;
bool countingAllocations = false;

void* CountedAllocation(std::size_t size) noexcept {
  if (countingAllocations) ++allocationCount;
  return std::malloc(size == 0 ? 1 : size);
}

void* CheckedAllocation(std::size_t size) {
  void* memory = CountedAllocation(size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

void* AlignedAllocation(std::size_t size, std::align_val_t alignment) {
  if (countingAllocations) ++allocationCount;
  const std::size_t align = static_cast<std::size_t>(alignment);
  void* memory = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

}  // namespace

void* operator new(std::size_t size) {
  return CheckedAllocation(size);
}
void* operator new[](std::size_t size) {
  return CheckedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocation(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AlignedAllocation(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AlignedAllocation(size, alignment);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}

namespace cfg::testing {
namespace {

// Heap allocations made while `run` runs.
template <typename Run>
int AllocationsDuring(Run run) {
  allocationCount = 0;
  countingAllocations = true;
  run();
  countingAllocations = false;
  return allocationCount;
}

void* volatile allocationSink = nullptr;

constexpr uint8_t kKeyZ = dik::kZ;
constexpr uint8_t kKeyUpArrow = dik::kUp;
constexpr PadState kPadB1 = 0x1;
constexpr PadState kPadB2 = 0x2;

// Without this the zeros below would prove nothing.
TEST(AllocationCounterTest, CountsTheAllocationsMadeWhileItRuns) {
  EXPECT_EQ(AllocationsDuring([] { allocationSink = ::operator new(16); }), 1);
  ::operator delete(allocationSink);
  EXPECT_EQ(AllocationsDuring([] {
              const std::string text(100, 'x');
              allocationSink = const_cast<char*>(text.data());
            }),
            1);
  EXPECT_EQ(AllocationsDuring([] {}), 0);
}

// Both keyboard modes: raw DirectInput codes and the Windows keyboard state.
class TickAllocationTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    pads_.Attach(0);
    keyboard_.StartDirectInput(0);
    ASSERT_EQ(keyboard_.acquired(), GetParam());
    joysticks_.EnumerateJoysticks();
    joysticks_.DetectJoysticks();
  }

  LeanInputDevices devices_{GetParam()};
  LeanJoystickApi pads_;
  Keyboard keyboard_{devices_};
  Joysticks joysticks_{pads_};
  std::array<uint8_t, kKeyMapSize> keyMap_{};
};

class CaptureTickTest : public TickAllocationTest {
 protected:
  void SetUp() override {
    TickAllocationTest::SetUp();
    BuildDefaultKeyMap(keyMap_.data(), false);
    dialog_.BeginEditing(keyMap_.data(), 0);
    view_.Open();
    view_.Click(IDC_FIELD_UP);
    view_.Tick();  // the first tick notes the pads' resting state
  }

  int TickAllocations() {
    return AllocationsDuring([this] { view_.Tick(); });
  }

  ButtonAssign dialog_{keyboard_, joysticks_};
  LeanButtonAssignView view_{dialog_};
};

TEST_P(CaptureTickTest, WaitingWithNothingHeldAllocatesNothing) {
  for (int tick = 0; tick < 50; ++tick) EXPECT_EQ(TickAllocations(), 0) << "tick " << tick;
  EXPECT_EQ(view_.last().count(), 8);  // the eight fields of the opening only

  devices_.Hold(kKeyZ);  // the ticks above left the dialog able to capture
  view_.Tick();
  EXPECT_EQ(view_.last().text(), "z");
}

TEST_P(CaptureTickTest, CapturingAKeyAllocatesNothing) {
  devices_.Hold(kKeyZ);
  EXPECT_EQ(TickAllocations(), 0);
  EXPECT_EQ(view_.last().id(), IDC_FIELD_UP);
  EXPECT_EQ(view_.last().text(), "z");
  EXPECT_EQ(view_.focus(), IDC_FIELD_DOWN);
  EXPECT_EQ(dialog_.working()[kUp].code, kKeyZ);
}

TEST_P(CaptureTickTest, WaitingForAHeldKeyAllocatesNothing) {
  devices_.Hold(kKeyZ);
  view_.Tick();
  for (int tick = 0; tick < 20; ++tick) EXPECT_EQ(TickAllocations(), 0) << "tick " << tick;
  EXPECT_EQ(view_.last().count(), 9);  // the opening's eight and the capture
  EXPECT_EQ(view_.focus(), IDC_FIELD_DOWN);
}

TEST_P(CaptureTickTest, CapturingAPadInputAllocatesNothing) {
  pads_.Hold(0, kPadB2);
  EXPECT_EQ(TickAllocations(), 0);
  EXPECT_EQ(view_.last().id(), IDC_FIELD_UP);
  EXPECT_EQ(view_.last().text(), "PAD1:B2");
  EXPECT_EQ(dialog_.working()[kUp].source, 1);
  EXPECT_EQ(dialog_.working()[kUp].code, static_cast<int32_t>(kPadB2));
}

TEST_P(CaptureTickTest, CapturingWithNoFieldFocusedAllocatesNothing) {
  view_.Click(IDC_ASSIGN_CONFIRM);
  pads_.Hold(0, kPadB1);
  EXPECT_EQ(TickAllocations(), 0);
  EXPECT_EQ(view_.last().id(), 0);
  EXPECT_EQ(view_.last().text(), "PAD1:B1");
  EXPECT_EQ(dialog_.working()[kUp].code, kKeyUpArrow);  // the default, untouched
}

INSTANTIATE_TEST_SUITE_P(KeyboardModes, CaptureTickTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "RawKeys" : "VirtualKeys"; });

class KeyTestTickTest : public TickAllocationTest {
 protected:
  void Open(bool joystick1Present) {
    BuildDefaultKeyMap(keyMap_.data(), joystick1Present);
    bindings_.SetCurrentKeyMap(keyMap_.data());
    keyTest_.OnOpen(view_);
  }

  int TickAllocations() {
    return AllocationsDuring([this] { keyTest_.OnTimer(view_); });
  }

  Input input_{keyboard_, joysticks_};
  Bindings bindings_{keyboard_, joysticks_};
  KeyTest keyTest_{input_, bindings_};
  LeanKeyTestView view_;
};

TEST_P(KeyTestTickTest, ShowingHeldKeysAllocatesNothing) {
  Open(false);
  devices_.Hold(kKeyUpArrow);
  devices_.Hold(kKeyZ);
  EXPECT_EQ(TickAllocations(), 0);
  EXPECT_EQ(view_.last().id(), IDC_KEY_STATE);
  EXPECT_EQ(view_.last().text(), "U   1   ");
}

TEST_P(KeyTestTickTest, ShowingNothingHeldAllocatesNothing) {
  Open(false);
  for (int tick = 0; tick < 50; ++tick) EXPECT_EQ(TickAllocations(), 0) << "tick " << tick;
  EXPECT_EQ(view_.last().text(), "        ");
  EXPECT_EQ(view_.last().count(), 50);
}

TEST_P(KeyTestTickTest, ShowingAPadAllocatesNothing) {
  Open(true);
  pads_.Hold(0, kPadUp | kPadB2);
  EXPECT_EQ(TickAllocations(), 0);
  EXPECT_EQ(view_.last().text(), "U    2  ");
}

INSTANTIATE_TEST_SUITE_P(KeyboardModes, KeyTestTickTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "RawKeys" : "VirtualKeys"; });

}  // namespace
}  // namespace cfg::testing
