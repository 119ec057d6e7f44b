// Changes to the bindings of one slot: `bind`, `import` and `copy-slot`.
#pragma once

#include <string>
#include <vector>

#include "bindings/key_map.h"
#include "settings/settings_record.h"

namespace cfg {

struct BindingChange {
  int controller = 0;  // 0-3
  int position = 0;    // 0-7
  KeyBinding binding;  // source and code; the handler word is never changed
};

// One word POSITION=BINDING (UTF-8) for the controller; on failure `error`
// names the word.
bool ParseBindingChange(const std::string& word, int controller, BindingChange& change,
                        std::string& error);
// Each position of a controller at most once.
bool ParseBindingChanges(const std::vector<std::string>& words, int controller,
                         std::vector<BindingChange>& changes, std::string& error);
// False, with `error` naming it, when a controller's position comes twice.
bool CheckNoRepeatedPositions(const std::vector<BindingChange>& changes, std::string& error);

// Source and code of each binding named; every handler word stays.
void ApplyBindingChanges(const std::vector<BindingChange>& changes, int slot,
                         SettingsRecord& record);
// The whole 384-byte key map, handler words included; the reserved area stays.
void CopySlotKeyMap(int from, int to, SettingsRecord& record);

}  // namespace cfg
