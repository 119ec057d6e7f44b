// DirectInput key code to Windows virtual-key code, for reading the Windows
// keyboard state by DirectInput key code before the device is acquired.
#include "input/scan_to_vk.h"

#include "input/keyboard.h"

namespace cfg {
namespace {

constexpr std::array<uint8_t, 256> BuildScanToVkTable() {
  std::array<uint8_t, 256> table{};
  for (const ScanVk& pair : kScanVkPairs) table[pair.scan] = pair.vk;
  return table;
}

}  // namespace

const std::array<uint8_t, 256> ScanToVkTable = BuildScanToVkTable();

}  // namespace cfg
