#include "tools/kvset/binding_edits.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "settings/text_codec.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/suggestion.h"

namespace cfg {

bool ParseBindingChange(const std::string& word, int controller, BindingChange& change,
                        std::string& error) {
  const size_t equals = word.find('=');
  if (equals == std::string::npos) {
    error = word + ": expected POSITION=INPUT, such as UP=z";
    return false;
  }
  const std::optional<int> position = ParsePositionName(word.substr(0, equals));
  if (!position) {
    error = word + ": the position is not one of UP DOWN LEFT RIGHT B1 B2 B3 B4";
    return false;
  }
  // The name tables are CP932.
  const std::optional<std::string> input = Cp932FromUtf8(word.substr(equals + 1));
  const std::optional<KeyBinding> binding = input ? ParseBindingText(*input) : std::nullopt;
  if (!binding) {
    error = word + ": no such input (a key name, key:CODE, padN:NAME, padN:0xMASK or none)" +
            DidYouMean(word.substr(equals + 1), InputWordsUtf8()) + "; 'kvset keys' lists them";
    return false;
  }
  change.controller = controller;
  change.position = *position;
  change.binding = *binding;
  return true;
}

bool ParseBindingChanges(const std::vector<std::string>& words, int controller,
                         std::vector<BindingChange>& changes, std::string& error) {
  changes.clear();
  for (const std::string& word : words) {
    BindingChange change;
    if (!ParseBindingChange(word, controller, change, error)) return false;
    changes.push_back(change);
  }
  return CheckNoRepeatedPositions(changes, error);
}

bool CheckNoRepeatedPositions(const std::vector<BindingChange>& changes, std::string& error) {
  for (auto later = changes.begin(); later != changes.end(); ++later) {
    const bool repeated = std::any_of(changes.begin(), later, [&](const BindingChange& earlier) {
      return earlier.controller == later->controller && earlier.position == later->position;
    });
    if (repeated) {
      error = "controller " + std::to_string(later->controller + 1) + " " +
              PositionName(later->position) + " is given twice";
      return false;
    }
  }
  return true;
}

void ApplyBindingChanges(const std::vector<BindingChange>& changes, int slot,
                         SettingsRecord& record) {
  uint8_t* keyMap = record.KeyMap(slot);
  for (const BindingChange& change : changes) {
    KeyBinding binding = LoadBinding(keyMap, change.controller, change.position);
    SetBinding(binding, change.binding.source, change.binding.code);
    StoreBinding(keyMap, change.controller, change.position, binding);
  }
}

void CopySlotKeyMap(int from, int to, SettingsRecord& record) {
  std::memmove(record.KeyMap(to), record.KeyMap(from), kKeyMapSize);
}

}  // namespace cfg
