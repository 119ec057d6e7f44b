// Little-endian loads and stores for the fixed records of the settings file.
// Byte by byte, so they work on any host, on unaligned offsets and in
// constant expressions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cfg {

constexpr uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr void StoreLe32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

constexpr int32_t LoadLeInt32(const uint8_t* p) {
  return static_cast<int32_t>(LoadLe32(p));
}

constexpr void StoreLeInt32(uint8_t* p, int32_t value) {
  StoreLe32(p, static_cast<uint32_t>(value));
}

}  // namespace cfg
