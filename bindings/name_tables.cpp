#include "bindings/name_tables.h"

namespace cfg {

// Table order decides which of several held keys is captured first.
const NameEntry KeyNameTable[kKeyNameCount + 1] = {
    {"1", 2},          {"2", 3},      {"3", 4},      {"4", 5},       {"5", 6},
    {"6", 7},          {"7", 8},      {"8", 9},      {"9", 10},      {"0", 11},
    {"-", 12},         {"^", 144},    {"\x5C", 125},  // shown as the yen sign
    {"q", 16},         {"w", 17},     {"e", 18},     {"r", 19},      {"t", 20},
    {"y", 21},         {"u", 22},     {"i", 23},     {"o", 24},      {"p", 25},
    {"@", 145},        {"[", 26},     {"a", 30},     {"s", 31},      {"d", 32},
    {"f", 33},         {"g", 34},     {"h", 35},     {"j", 36},      {"k", 37},
    {"l", 38},         {";", 39},     {":", 146},    {"]", 27},      {"z", 44},
    {"x", 45},         {"c", 46},     {"v", 47},     {"b", 48},      {"n", 49},
    {"m", 50},         {",", 51},     {".", 52},     {"/", 53},      {"backslash", 43},
    {"\x81\xAA", 200},  // up arrow
    {"\x81\xAB", 208},  // down arrow
    {"\x81\xA9", 203},  // left arrow
    {"\x81\xA8", 205},  // right arrow
    {"num0", 82},      {"num1", 79},  {"num2", 80},  {"num3", 81},   {"num4", 75},
    {"num5", 76},      {"num6", 77},  {"num7", 71},  {"num8", 72},   {"num9", 73},
    {"num/", 181},     {"num*", 55},  {"num-", 74},  {"num+", 78},   {"num.", 83},
    {"Ins", 210},      {"Home", 199}, {"PUp", 201},  {"PDown", 209}, {"End", 207},
    {"Del", 211},      {"", -1},
};

const NameEntry PadButtonNameTable[kPadButtonNameCount + 1] = {
    {"UP", 0x10000}, {"DOWN", 0x20000}, {"LEFT", 0x40000}, {"RIGHT", 0x80000}, {"B1", 0x1},
    {"B2", 0x2},     {"B3", 0x4},       {"B4", 0x8},       {"B5", 0x10},       {"B6", 0x20},
    {"B7", 0x40},    {"B8", 0x80},      {"B9", 0x100},     {"B10", 0x200},     {"B11", 0x400},
    {"B12", 0x800},  {"B13", 0x1000},   {"B14", 0x2000},   {"B15", 0x4000},    {"B16", 0x8000},
    {"", -1},
};

namespace {

constexpr int32_t kEndOfTable = -1;

const NameEntry* FindName(const NameEntry* table, int32_t code) {
  for (const NameEntry* entry = table; entry->code != kEndOfTable; ++entry) {
    if (entry->code == code) return entry;
  }
  return nullptr;
}

}  // namespace

const NameEntry* FindKeyName(int32_t code) {
  return FindName(KeyNameTable, code);
}

const NameEntry* FindPadButtonName(int32_t code) {
  return FindName(PadButtonNameTable, code);
}

}  // namespace cfg
