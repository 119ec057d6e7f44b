#include "tools/kvset/fresh_record.h"

#include <cstring>

#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "settings/settings_store.h"

namespace cfg {
namespace {

// With its NUL; the bytes of the field behind it stay.
constexpr char kSoundFolder[] = ".\\Sound\\";
constexpr uint32_t kOptionBitsCleared = 0x3;
constexpr uint32_t kModeBitsCleared = 0x6;
constexpr uint32_t kModeBitsSet = 0x1;

// The fixed values of the main dialog's read-back; the three check boxes read
// back what the defaults show, so they leave their fields as they are.
void WriteDialogReadBack(SettingsRecord& record) {
  std::memcpy(&record.bytes[record_offset::kSoundFolder], kSoundFolder, sizeof kSoundFolder);
  record.SetInt(record_offset::kFourWayChoice, 0);
  record.SetInt(record_offset::kExtraFlag, 0);
  record.SetBits(record_offset::kOptionBits,
                 record.Bits(record_offset::kOptionBits) & ~kOptionBitsCleared);
  record.SetInt(record_offset::kNumberA, 0);
  record.SetInt(record_offset::kNumberB, 0);
  record.SetBits(record_offset::kModeBits,
                 (record.Bits(record_offset::kModeBits) & ~kModeBitsCleared) | kModeBitsSet);
}

}  // namespace

SettingsRecord StartUpRecord(bool joystick1Present) {
  SettingsRecord record;
  BuildDefaultKeyMaps(record, joystick1Present);
  ResetRankingTables(record);
  WriteDefaultSettings(record);
  return record;
}

SettingsRecord FreshRecord(bool joystick1Present) {
  SettingsRecord record = StartUpRecord(joystick1Present);
  WriteDialogReadBack(record);
  return record;
}

}  // namespace cfg
