// What a confirmed run may change in KV.set: the fields the main dialog owns
// and an out-of-range current slot. Every other bit goes back to disk as it
// was loaded.
#pragma once

#include <cstring>
#include <string>

#include "settings/settings_record.h"

namespace cfg {

// Empty when `saved` is `loaded` after the main dialog has shown it and read
// it back untouched; otherwise the first difference, in words.
inline std::string ReadBackMismatch(const SettingsRecord& loaded, const SettingsRecord& saved) {
  namespace offset = record_offset;
  SettingsRecord expected = loaded;
  // The boxes show fullScreen == 1 and the two options != 0, and store 0 or 1.
  expected.SetInt(offset::kFullScreen, loaded.Int(offset::kFullScreen) == 1 ? 1 : 0);
  for (const size_t option : {offset::kStart640x480, offset::kKeep320x240})
    expected.SetInt(option, loaded.Int(option) != 0 ? 1 : 0);
  for (const size_t field :
       {offset::kFourWayChoice, offset::kExtraFlag, offset::kNumberA, offset::kNumberB})
    expected.SetInt(field, 0);
  expected.SetBits(offset::kOptionBits, loaded.Bits(offset::kOptionBits) & ~0x3u);
  expected.SetBits(offset::kModeBits, (loaded.Bits(offset::kModeBits) & ~0x6u) | 0x1u);
  std::memcpy(&expected.bytes[offset::kSoundFolder], ".\\Sound\\", 9);
  const int32_t slot = loaded.Int(offset::kCurrentSlot);
  expected.SetInt(offset::kCurrentSlot, slot >= 0 && slot < kSlotCount ? slot : 0);
  for (size_t i = 0; i < kSettingsRecordSize; ++i) {
    if (saved.bytes[i] != expected.bytes[i]) {
      return "byte " + std::to_string(i) + " is " + std::to_string(saved.bytes[i]) + ", not " +
             std::to_string(expected.bytes[i]);
    }
  }
  return {};
}

}  // namespace cfg
