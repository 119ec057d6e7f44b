// DirectInput key code to Windows virtual-key code, for reading the Windows
// keyboard state by DirectInput key code before the device is acquired.
#include <array>
#include <cstdint>

#include "input/keyboard.h"

namespace cfg {
namespace {

struct ScanVk {
  uint8_t scan;
  uint8_t vk;
};

constexpr ScanVk kScanVkPairs[] = {
    {1, 27},                                        // Esc
    {2, 49},    {3, 50},    {4, 51},    {5, 52},    // 1-4
    {6, 53},    {7, 54},    {8, 55},    {9, 56},    // 5-8
    {10, 57},   {11, 48},                           // 9, 0
    {12, 189},                                      // minus
    {14, 8},                                        // Backspace
    {15, 9},                                        // Tab
    {16, 81},   {17, 87},   {18, 69},   {19, 82},   // Q W E R
    {20, 84},   {21, 89},   {22, 85},   {23, 73},   // T Y U I
    {24, 79},   {25, 80},                           // O P
    {26, 219},  {27, 221},                          // [ ]
    {28, 13},                                       // Enter
    {29, 17},                                       // left Ctrl
    {30, 65},   {31, 83},   {32, 68},   {33, 70},   // A S D F
    {34, 71},   {35, 72},   {36, 74},   {37, 75},   // G H J K
    {38, 76},                                       // L
    {39, 187},                                      // semicolon
    {42, 16},                                       // left Shift
    {43, 226},                                      // backslash: the Japanese layout's key
    {44, 90},   {45, 88},   {46, 67},   {47, 86},   // Z X C V
    {48, 66},   {49, 78},   {50, 77},               // B N M
    {51, 188},  {52, 190},                          // comma, period
    {53, 192},                                      // slash: the Japanese layout's key
    {54, 16},                                       // right Shift
    {55, 106},                                      // numeric-pad *
    {57, 32},                                       // Space
    {58, 20},                                       // Caps Lock
    {59, 112},  {60, 113},  {61, 114},  {62, 115},  // F1-F4
    {63, 116},  {64, 117},  {65, 118},  {66, 119},  // F5-F8
    {67, 120},  {68, 121},                          // F9, F10
    {69, 144},                                      // Num Lock
    {70, 145},                                      // Scroll Lock
    {71, 103},  {72, 104},  {73, 105},              // numeric pad 7 8 9
    {74, 109},                                      // numeric-pad -
    {75, 100},  {76, 101},  {77, 102},              // numeric pad 4 5 6
    {78, 107},                                      // numeric-pad +
    {79, 97},   {80, 98},   {81, 99},               // numeric pad 1 2 3
    {82, 96},                                       // numeric pad 0
    {83, 110},                                      // numeric-pad .
    {87, 122},  {88, 123},                          // F11, F12
    {100, 124}, {101, 125}, {102, 126},             // F13-F15
    {121, 28},                                      // Convert
    {123, 29},                                      // No-convert
    {125, 220},                                     // Yen
    {156, 13},                                      // numeric-pad Enter
    {157, 17},                                      // right Ctrl
    {179, 108},                                     // numeric-pad comma
    {181, 111},                                     // numeric-pad /
    {184, 18},                                      // right Alt
    {199, 12},                                      // Home: reads as VK_CLEAR
    {200, 38},                                      // Up
    {201, 33},                                      // Page Up
    {203, 37},                                      // Left
    {205, 39},                                      // Right
    {207, 35},                                      // End
    {208, 40},                                      // Down
    {209, 34},                                      // Page Down
    {210, 45},                                      // Insert
    {211, 46},                                      // Delete
};

constexpr std::array<uint8_t, 256> BuildScanToVkTable() {
  std::array<uint8_t, 256> table{};
  for (const ScanVk& pair : kScanVkPairs) table[pair.scan] = pair.vk;
  return table;
}

}  // namespace

const std::array<uint8_t, 256> ScanToVkTable = BuildScanToVkTable();

}  // namespace cfg
