// The game's four ranking tables and their built-in defaults.
#pragma once

#include <array>

#include "settings/settings_record.h"

namespace cfg {

constexpr int kRankingEntryCount = 10;
constexpr size_t kRankingEntrySize = 20;
static_assert(kRankingEntryCount * kRankingEntrySize == kRankingTableSize, "RankingTable layout");

// Offsets within a RankingEntry; entry i starts at table offset 20 * i.
namespace ranking_offset {
constexpr size_t kHead = 0;
constexpr size_t kValue = 4;
constexpr size_t kTriple = 8;  // 3 int32
constexpr int kTripleCount = 3;
constexpr size_t Entry(int entry) {
  return kRankingEntrySize * static_cast<size_t>(entry);
}
}  // namespace ranking_offset

struct RankingEntry {
  int32_t head = 0;
  int32_t value = 0;
  std::array<int32_t, ranking_offset::kTripleCount> triple{};
};

// Entry 0-9 of table 0-3.
RankingEntry LoadRankingEntry(const SettingsRecord& record, int table, int entry);

// Copies default A into tables 0 and 1 and default B into tables 2 and 3.
void ResetRankingTables(SettingsRecord& record);

}  // namespace cfg
