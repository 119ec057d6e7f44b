// Recognisable record images for the settings and kvset tests.
#pragma once

#include <cstdint>
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

}  // namespace cfg
