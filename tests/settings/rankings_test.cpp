#include "settings/rankings.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/settings/store_fixture.h"

namespace cfg {
namespace {

const int32_t kValuesA[] = {50000, 45000, 40000, 35000, 30000, 25000, 20000, 15000, 10000, 5000};
const int32_t kValuesB[] = {327599, 331199, 334799, 338399, 341999,
                            345599, 349199, 352799, 356399, 359999};

struct TableCase {
  const char* name;
  size_t offset;
  const int32_t* values;
};

class RankingTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(RankingTableTest, HoldsTheDefaultEntries) {
  SettingsRecord record;
  ResetRankingTables(record);

  for (int i = 0; i < 10; ++i) {
    const uint8_t* entry = &record.bytes[GetParam().offset + 20 * i];
    SCOPED_TRACE(i);
    EXPECT_EQ(LoadLeInt32(entry), 0);
    EXPECT_EQ(LoadLeInt32(entry + 4), GetParam().values[i]);
    EXPECT_EQ(LoadLeInt32(entry + 8), 3 * i);
    EXPECT_EQ(LoadLeInt32(entry + 12), 3 * i + 1);
    EXPECT_EQ(LoadLeInt32(entry + 16), 3 * i + 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, RankingTableTest,
                         ::testing::ValuesIn(std::vector<TableCase>{
                             {"Table0A", 3884, kValuesA},
                             {"Table1A", 4084, kValuesA},
                             {"Table2B", 4284, kValuesB},
                             {"Table3B", 4484, kValuesB},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST(RankingResetTest, FirstEntryIsLittleEndian) {
  SettingsRecord record;
  ResetRankingTables(record);

  const std::vector<uint8_t> entry(&record.bytes[3884], &record.bytes[3904]);
  EXPECT_EQ(entry, (std::vector<uint8_t>{0, 0, 0, 0, 0x50, 0xC3, 0, 0, 0, 0,
                                         0, 0, 1, 0, 0,    0,    2, 0, 0, 0}));
}

TEST(RankingResetTest, ChangesNoByteBeforeTheTablesAndIsIdempotent) {
  SettingsRecord record;
  FillRecord(record, PatternBytes(kSettingsRecordSize, 20));
  const std::vector<uint8_t> before = RecordBytes(record);

  ResetRankingTables(record);
  const std::vector<uint8_t> once = RecordBytes(record);
  ResetRankingTables(record);

  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 3884, once.begin()));
  EXPECT_TRUE(std::equal(&once[3884], &once[4084], &once[4084]));
  EXPECT_TRUE(std::equal(&once[4284], &once[4484], &once[4484]));
  EXPECT_EQ(RecordBytes(record), once);
}

}  // namespace
}  // namespace cfg
