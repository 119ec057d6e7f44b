#include "bindings/start_up_record.h"

#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "settings/settings_store.h"

namespace cfg {

void WriteStartUpRecord(SettingsRecord& record, bool joystick1Present) {
  BuildDefaultKeyMaps(record, joystick1Present);
  ResetRankingTables(record);
  WriteDefaultSettings(record);
}

}  // namespace cfg
