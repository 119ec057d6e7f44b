#include "tests/support/read_back_check.h"

#include <cstdint>
#include <cstring>

namespace cfg {
namespace {

// Integer fields the read-back writes, with the bits it keeps.
struct OwnedInt {
  size_t offset;
  uint32_t keptBits;
};

constexpr OwnedInt kOwnedInts[] = {
    {record_offset::kFullScreen, 0},     {record_offset::kFourWayChoice, 0},
    {record_offset::kOptionBits, ~0x3u}, {record_offset::kNumberA, 0},
    {record_offset::kNumberB, 0},        {record_offset::kStart640x480, 0},
    {record_offset::kKeep320x240, 0},    {record_offset::kExtraFlag, 0},
    {record_offset::kModeBits, ~0x7u},
};

constexpr char kSoundFolder[] = ".\\Sound\\";  // 9 bytes with the NUL

bool IsSlot(int32_t index) {
  return index >= 0 && index < kSlotCount;
}

// The bits of byte `offset` that the save must carry through from the load.
uint8_t KeptBits(const SettingsRecord& loaded, size_t offset) {
  for (const OwnedInt& field : kOwnedInts) {
    if (offset >= field.offset && offset < field.offset + 4) {
      return static_cast<uint8_t>(field.keptBits >> (8 * (offset - field.offset)));
    }
  }
  if (offset >= record_offset::kSoundFolder &&
      offset < record_offset::kSoundFolder + sizeof kSoundFolder) {
    return 0;
  }
  if (offset < 4 && !IsSlot(loaded.Int(record_offset::kCurrentSlot))) return 0;
  return 0xFF;
}

std::string KeptBytesMismatch(const SettingsRecord& loaded, const SettingsRecord& saved) {
  for (size_t offset = 0; offset < kSettingsRecordSize; ++offset) {
    const uint8_t kept = KeptBits(loaded, offset);
    if ((saved.bytes[offset] & kept) != (loaded.bytes[offset] & kept)) {
      return "byte " + std::to_string(offset) + " changed";
    }
  }
  return {};
}

struct ExpectedInt {
  const char* name;
  size_t offset;
  uint32_t mask;
  uint32_t value;
};

// The values the dialog shows and stores back unchanged, and the fixed ones.
std::string OwnedFieldsMismatch(const SettingsRecord& loaded, const SettingsRecord& saved) {
  const int32_t slot = loaded.Int(record_offset::kCurrentSlot);
  const ExpectedInt expected[] = {
      {"fullScreen", record_offset::kFullScreen, ~0u,
       loaded.Int(record_offset::kFullScreen) == 1 ? 1u : 0u},
      {"start640x480", record_offset::kStart640x480, ~0u,
       loaded.Int(record_offset::kStart640x480) != 0 ? 1u : 0u},
      {"keep320x240", record_offset::kKeep320x240, ~0u,
       loaded.Int(record_offset::kKeep320x240) != 0 ? 1u : 0u},
      {"fourWayChoice", record_offset::kFourWayChoice, ~0u, 0},
      {"extraFlag", record_offset::kExtraFlag, ~0u, 0},
      {"numberA", record_offset::kNumberA, ~0u, 0},
      {"numberB", record_offset::kNumberB, ~0u, 0},
      {"optionBits", record_offset::kOptionBits, 0x3, 0},
      {"modeBits", record_offset::kModeBits, 0x7, 0x1},
      {"currentSlot", record_offset::kCurrentSlot, ~0u, IsSlot(slot) ? uint32_t(slot) : 0u},
  };
  for (const ExpectedInt& field : expected) {
    if ((saved.Bits(field.offset) & field.mask) != field.value) {
      return std::string(field.name) + " is " + std::to_string(saved.Bits(field.offset));
    }
  }
  if (std::memcmp(&saved.bytes[record_offset::kSoundFolder], kSoundFolder, sizeof kSoundFolder)) {
    return "soundFolder is not .\\Sound\\";
  }
  return {};
}

}  // namespace

std::string ReadBackMismatch(const SettingsRecord& loaded, const SettingsRecord& saved) {
  const std::string kept = KeptBytesMismatch(loaded, saved);
  return kept.empty() ? OwnedFieldsMismatch(loaded, saved) : kept;
}

}  // namespace cfg
