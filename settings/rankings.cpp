#include "settings/rankings.h"

#include <algorithm>
#include <array>

namespace cfg {
namespace {

using RankingTableBytes = std::array<uint8_t, kRankingTableSize>;

constexpr int32_t DefaultValueA(int entry) {
  return 50000 - 5000 * entry;
}
constexpr int32_t DefaultValueB(int entry) {
  return (91 + entry) * 3600 - 1;
}

constexpr RankingTableBytes BuildDefaultTable(int32_t (*valueOf)(int)) {
  RankingTableBytes table{};  // each entry's head stays 0
  for (int entry = 0; entry < kRankingEntryCount; ++entry) {
    uint8_t* bytes = &table[ranking_offset::Entry(entry)];
    StoreLeInt32(bytes + ranking_offset::kValue, valueOf(entry));
    for (int k = 0; k < ranking_offset::kTripleCount; ++k) {
      StoreLeInt32(bytes + ranking_offset::kTriple + 4 * k, 3 * entry + k);
    }
  }
  return table;
}

constexpr RankingTableBytes kDefaultRankingA = BuildDefaultTable(DefaultValueA);
constexpr RankingTableBytes kDefaultRankingB = BuildDefaultTable(DefaultValueB);

void CopyRankingTable(SettingsRecord& record, int table, const RankingTableBytes& from) {
  std::copy(from.begin(), from.end(), &record.bytes[record_offset::RankingTable(table)]);
}

}  // namespace

RankingEntry LoadRankingEntry(const SettingsRecord& record, int table, int entry) {
  const size_t offset = record_offset::RankingTable(table) + ranking_offset::Entry(entry);
  RankingEntry loaded;
  loaded.head = record.Int(offset + ranking_offset::kHead);
  loaded.value = record.Int(offset + ranking_offset::kValue);
  for (int k = 0; k < ranking_offset::kTripleCount; ++k) {
    loaded.triple[k] = record.Int(offset + ranking_offset::kTriple + 4 * static_cast<size_t>(k));
  }
  return loaded;
}

void ResetRankingTables(SettingsRecord& record) {
  CopyRankingTable(record, 0, kDefaultRankingA);
  CopyRankingTable(record, 2, kDefaultRankingB);
  CopyRankingTable(record, 1, kDefaultRankingA);
  CopyRankingTable(record, 3, kDefaultRankingB);
}

}  // namespace cfg
