// The game's four ranking tables and their built-in defaults.
#pragma once

#include "settings/settings_record.h"

namespace cfg {

constexpr int kRankingEntryCount = 10;
constexpr size_t kRankingEntrySize = 20;
static_assert(kRankingEntryCount * kRankingEntrySize == kRankingTableSize, "RankingTable layout");

// Copies default A into tables 0 and 1 and default B into tables 2 and 3.
void ResetRankingTables(SettingsRecord& record);

}  // namespace cfg
