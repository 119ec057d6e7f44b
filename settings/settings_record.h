// The 4684-byte settings record: byte for byte the content of KV.set.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/byte_order.h"

namespace cfg {

constexpr size_t kSettingsRecordSize = 4684;
constexpr int kSlotCount = 5;
constexpr size_t kConfigSlotSize = 704;
constexpr size_t kSlotReservedSize = 320;
constexpr size_t kKeyMapSize = 384;
constexpr size_t kRankingTableSize = 200;
constexpr int kRankingTableCount = 4;
constexpr size_t kSoundFolderSize = 260;

constexpr bool IsSlot(int32_t slot) {
  return slot >= 0 && slot < kSlotCount;
}
// The slots as messages name them: "0-4".
inline std::string SlotRangeText() {
  return "0-" + std::to_string(kSlotCount - 1);
}

// Byte offsets of the record's fields.
namespace record_offset {
constexpr size_t kCurrentSlot = 0;
constexpr size_t kSlots = 4;
constexpr size_t kOpaqueA = 3524;
constexpr size_t kFourWayChoice = 3528;
constexpr size_t kOpaqueB = 3532;
constexpr size_t kOpaqueC = 3536;
constexpr size_t kOptionBits = 3540;
constexpr size_t kNumberA = 3544;
constexpr size_t kOpaqueD = 3548;
constexpr size_t kNumberB = 3552;
constexpr size_t kOpaqueE = 3556;
constexpr size_t kStart640x480 = 3560;
constexpr size_t kKeep320x240 = 3564;
constexpr size_t kFullScreen = 3568;
constexpr size_t kExtraFlag = 3572;
constexpr size_t kSoundFolder = 3576;
constexpr size_t kOpaqueF = 3836;
constexpr size_t kModeBits = 3840;
constexpr size_t kOpaqueG = 3844;
constexpr size_t kOpaqueH = 3848;
constexpr size_t kOpaqueI = 3852;
constexpr size_t kOpaqueJ = 3856;  // 7 int32
constexpr size_t kRankings = 3884;

// Within a ConfigSlot.
constexpr size_t kSlotReserved = 0;
constexpr size_t kSlotKeyMap = 320;

constexpr size_t Slot(int slot) {
  return kSlots + kConfigSlotSize * static_cast<size_t>(slot);
}
constexpr size_t KeyMap(int slot) {
  return Slot(slot) + kSlotKeyMap;
}
constexpr size_t RankingTable(int table) {
  return kRankings + kRankingTableSize * static_cast<size_t>(table);
}
}  // namespace record_offset

static_assert(kSlotReservedSize + kKeyMapSize == kConfigSlotSize, "ConfigSlot layout");
static_assert(record_offset::Slot(kSlotCount) == record_offset::kOpaqueA, "slots end at opaqueA");
static_assert(record_offset::kSoundFolder + kSoundFolderSize == record_offset::kOpaqueF,
              "soundFolder layout");
static_assert(record_offset::kOpaqueJ + 7 * 4 == record_offset::kRankings, "opaqueJ layout");
static_assert(record_offset::RankingTable(kRankingTableCount) == kSettingsRecordSize,
              "rankings end the record");

struct SettingsRecord {
  std::array<uint8_t, kSettingsRecordSize> bytes{};

  int32_t Int(size_t offset) const { return LoadLeInt32(&bytes[offset]); }
  void SetInt(size_t offset, int32_t value) { StoreLeInt32(&bytes[offset], value); }
  uint32_t Bits(size_t offset) const { return LoadLe32(&bytes[offset]); }
  void SetBits(size_t offset, uint32_t value) { StoreLe32(&bytes[offset], value); }

  uint8_t* KeyMap(int slot) { return &bytes[record_offset::KeyMap(slot)]; }
  const uint8_t* KeyMap(int slot) const { return &bytes[record_offset::KeyMap(slot)]; }
};

}  // namespace cfg
