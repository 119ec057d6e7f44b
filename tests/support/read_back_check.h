// What a confirmed run may change in KV.set: the fields the main dialog owns
// and an out-of-range current slot. Every other bit goes back to disk as it
// was loaded.
#pragma once

#include <string>

#include "settings/settings_record.h"

namespace cfg {

// Empty when `saved` is `loaded` after the main dialog has shown it and read
// it back untouched; otherwise the first difference, in words.
std::string ReadBackMismatch(const SettingsRecord& loaded, const SettingsRecord& saved);

}  // namespace cfg
