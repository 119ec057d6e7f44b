#include "tools/kvset/check.h"

#include "bindings/key_map.h"
#include "bindings/name_tables.h"
#include "input/keyboard.h"
#include "tools/kvset/binding_text.h"

namespace cfg {
namespace {

std::string Where(int slot, int controller) {
  return "slot " + std::to_string(slot) + ", controller " + std::to_string(controller + 1);
}

bool IsKnownSource(int32_t source) {
  return source >= kKeyboardSource && source <= kLastJoystickSource;
}

bool HasName(const KeyBinding& binding) {
  return binding.source == kKeyboardSource ? FindKeyName(binding.code) != nullptr
                                           : FindPadButtonName(binding.code) != nullptr;
}

// Whether one physical input makes both active: the same key for evaluation,
// or masks of one joystick that share a bit.
bool SameInput(const KeyBinding& a, const KeyBinding& b) {
  if (a.source != b.source || !IsKnownSource(a.source)) return false;
  if (a.source == kKeyboardSource) {
    return KeyOfCode(a.code) == KeyOfCode(b.code) && KeyOfCode(a.code) != 0;
  }
  return (a.code & b.code) != 0;
}

std::string SharedInputText(const KeyBinding& first, const KeyBinding& second) {
  const std::string firstText = BindingTextUtf8(first);
  const std::string secondText = BindingTextUtf8(second);
  if (firstText == secondText) return "both bound to " + firstText;
  return "bound to " + firstText + " and " + secondText + ", which one input drives";
}

void CheckBinding(const std::string& where, const KeyBinding& binding,
                  std::vector<std::string>& findings) {
  const std::string text = BindingTextUtf8(binding);
  if (!IsKnownSource(binding.source)) {
    findings.push_back(where + ": " + text + ": source " + std::to_string(binding.source) +
                       " is not 0-4, so the input never acts");
  } else if (!IsClearedBinding(binding) && !HasName(binding)) {
    findings.push_back(where + ": " + text + ": the code has no name");
  }
}

void CheckController(const SettingsRecord& record, int slot, int controller,
                     std::vector<std::string>& findings) {
  const ControllerBindings bindings = LoadControllerBindings(record.KeyMap(slot), controller);
  for (int position = 0; position < kPositionCount; ++position) {
    CheckBinding(Where(slot, controller) + " " + PositionName(position), bindings[position],
                 findings);
  }
  for (int second = 1; second < kPositionCount; ++second) {
    for (int first = 0; first < second; ++first) {
      if (!SameInput(bindings[first], bindings[second])) continue;
      findings.push_back(Where(slot, controller) + " " + PositionName(first) + " and " +
                         PositionName(second) + ": " +
                         SharedInputText(bindings[first], bindings[second]));
    }
  }
}

}  // namespace

std::vector<std::string> CheckRecordFile(const RecordFile& file) {
  std::vector<std::string> findings;
  if (file.size != kSettingsRecordSize) {
    findings.push_back("size " + std::to_string(file.size) + " bytes, not " +
                       std::to_string(kSettingsRecordSize) + " (" + kRepairHint + ")");
  }
  const int32_t currentSlot = file.record.Int(record_offset::kCurrentSlot);
  if (!IsSlot(currentSlot)) {
    findings.push_back("current slot " + std::to_string(currentSlot) + " is not " +
                       SlotRangeText() + " (the program falls back to slot 0)");
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    for (int controller = 0; controller < kControllerCount; ++controller) {
      CheckController(file.record, slot, controller, findings);
    }
  }
  return findings;
}

}  // namespace cfg
