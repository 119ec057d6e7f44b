#include "tools/kvset/fresh_record.h"

#include "bindings/start_up_record.h"
#include "settings/settings_store.h"

namespace cfg {

SettingsRecord StartUpRecord(bool joystick1Present) {
  SettingsRecord record;
  WriteStartUpRecord(record, joystick1Present);
  return record;
}

SettingsRecord FreshRecord(bool joystick1Present) {
  SettingsRecord record = StartUpRecord(joystick1Present);
  WriteFixedReadBackValues(record);
  return record;
}

}  // namespace cfg
