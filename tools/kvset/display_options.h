// The start-up display options and the current slot, as the main dialog shows
// them and as `set` changes them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/display_options.h"
#include "settings/settings_record.h"

namespace cfg {

// The words of `set`: window=on|off start640x480=on|off keep320x240=on|off slot=N.
struct OptionChanges {
  std::optional<bool> windowMode;
  std::optional<bool> start640x480;
  std::optional<bool> keep320x240;
  std::optional<int32_t> slot;
};

// Each field at most once; on failure `error` names the word.
bool ParseOptionChanges(const std::vector<std::string>& words, OptionChanges& changes,
                        std::string& error);
// Writes only the fields named.
void ApplyOptionChanges(const OptionChanges& changes, SettingsRecord& record);

}  // namespace cfg
