// Record images for the tests: recognisable bytes, and the check of a saved
// record in which only the main dialog's fields and a bad slot may change.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/support/memory_file_system.h"

namespace cfg {

// Bytes that differ from their neighbours and from zero, so a byte moved,
// lost or zeroed shows.
inline std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>((state >> 16) | 1);
  }
  return bytes;
}

inline std::vector<uint8_t> WithInt(std::vector<uint8_t> bytes, size_t offset, int32_t value) {
  StoreLeInt32(&bytes[offset], value);
  return bytes;
}

inline std::vector<uint8_t> RecordBytes(const SettingsRecord& record) {
  return std::vector<uint8_t>(record.bytes.begin(), record.bytes.end());
}

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
