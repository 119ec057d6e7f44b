// The record as start-up builds it, before KV.set is read over it.
#pragma once

#include "settings/settings_record.h"

namespace cfg {

// Default key maps in every slot, the ranking tables and the default settings;
// the game's own fields stay as they are.
void WriteStartUpRecord(SettingsRecord& record, bool joystick1Present);

}  // namespace cfg
