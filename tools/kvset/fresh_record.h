// Records as the program builds them, without a KV.set to read.
#pragma once

#include "settings/settings_record.h"

namespace cfg {

// Default key maps, ranking tables and settings: what KV.set is read over at start-up.
SettingsRecord StartUpRecord(bool joystick1Present);
// What a confirmed run with nothing changed writes when there was no KV.set:
// the start-up record plus the values the main dialog writes when it is read back.
SettingsRecord FreshRecord(bool joystick1Present);

}  // namespace cfg
