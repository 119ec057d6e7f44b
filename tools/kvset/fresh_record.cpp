#include "tools/kvset/fresh_record.h"

#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "settings/settings_store.h"

namespace cfg {

SettingsRecord StartUpRecord(bool joystick1Present) {
  SettingsRecord record;
  BuildDefaultKeyMaps(record, joystick1Present);
  ResetRankingTables(record);
  WriteDefaultSettings(record);
  return record;
}

SettingsRecord FreshRecord(bool joystick1Present) {
  SettingsRecord record = StartUpRecord(joystick1Present);
  WriteFixedReadBackValues(record);
  return record;
}

}  // namespace cfg
