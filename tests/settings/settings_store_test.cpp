#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <algorithm>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "settings/rankings.h"
#include "tests/settings/store_fixture.h"

namespace cfg {
namespace {

// --- Path of KV.set ---------------------------------------------------------

struct PathCase {
  const char* name;
  std::string folder;
  std::string path;
};

class SettingsFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsFilePathTest, AddsABackslashOnlyWhenTheLastCharacterIsNotOne) {
  EXPECT_EQ(SettingsFilePath(GetParam().folder), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Folders, SettingsFilePathTest,
                         ::testing::ValuesIn(std::vector<PathCase>{
                             {"RelativeWithBackslash", ".\\Data\\", ".\\Data\\KV.set"},
                             {"AbsoluteWithout", "C:\\Game", "C:\\Game\\KV.set"},
                             {"DriveRoot", "C:\\", "C:\\KV.set"},
                             {"EndsInDoubleByte5C", "C:\\ゲーム\\表", "C:\\ゲーム\\表\\KV.set"},
                             {"DoubleByte5CThenBackslash", "C:\\表\\", "C:\\表\\KV.set"},
                             {"LoneLeadByteAtEnd", "C:\\A\x95", "C:\\A\x95\\KV.set"},
                         }),
                         [](const auto& info) { return info.param.name; });

// --- Defaults ---------------------------------------------------------------

class DefaultSettingsTest : public StoreFixture, public ::testing::Test {};

TEST_F(DefaultSettingsTest, ZeroRecordGetsExactlyTheDefaultBytes) {
  WriteDefaultSettings(store_.record());

  std::vector<uint8_t> expected(kSettingsRecordSize, 0);
  expected[3568] = 1;
  std::memcpy(&expected[3576], ".\\Sound\\", 9);
  expected[3844] = 2;
  expected[3848] = 2;
  expected[3852] = 1;
  EXPECT_EQ(RecordBytes(store_.record()), expected);
}

TEST_F(DefaultSettingsTest, LeavesTheGamesFieldsKeyMapsRankingsAndSoundTail) {
  const std::vector<uint8_t> before = WithInt(PatternBytes(kSettingsRecordSize, 7), 0, 3);
  FillRecord(store_.record(), before);

  WriteDefaultSettings(store_.record());

  std::vector<uint8_t> expected = before;
  std::fill_n(expected.begin(), 4, 0);
  std::fill_n(expected.begin() + 3540, 3576 - 3540, 0);  // optionBits .. extraFlag
  StoreLeInt32(&expected[3568], 1);
  std::memcpy(&expected[3576], ".\\Sound\\", 9);         // bytes 3585..3835 stay
  std::fill_n(expected.begin() + 3836, 3884 - 3836, 0);  // opaqueF .. opaqueJ
  StoreLeInt32(&expected[3844], 2);
  StoreLeInt32(&expected[3848], 2);
  StoreLeInt32(&expected[3852], 1);
  EXPECT_EQ(RecordBytes(store_.record()), expected);
}

// --- Slot selection ---------------------------------------------------------

struct SlotCase {
  const char* name;
  int32_t stored;    // currentSlot before the call
  int32_t argument;  // SelectConfigSlot's index
  int32_t slot;      // the slot that must end up current
  size_t keyMapOffset;
};

class SelectConfigSlotTest : public StoreFixture, public ::testing::TestWithParam<SlotCase> {};

TEST_P(SelectConfigSlotTest, StoresTheSlotAndPointsTheKeyMapAtIt) {
  const SlotCase& c = GetParam();
  store_.record().SetInt(0, c.stored);

  store_.SelectConfigSlot(c.argument);

  EXPECT_EQ(store_.record().Int(0), c.slot);
  EXPECT_EQ(selectedKeyMap_, &store_.record().bytes[c.keyMapOffset]);
}

INSTANTIATE_TEST_SUITE_P(Slots, SelectConfigSlotTest,
                         ::testing::ValuesIn(std::vector<SlotCase>{
                             {"Select0", 3, 0, 0, 324},
                             {"Select1", 0, 1, 1, 1028},
                             {"Select2", 0, 2, 2, 1732},
                             {"Select3", 0, 3, 3, 2436},
                             {"Select4", 0, 4, 4, 3140},
                             {"KeepCurrent3", 3, -1, 3, 2436},
                             {"KeepCurrent4", 4, -1, 4, 3140},
                             {"StoredMinusOne", -1, -1, 0, 324},
                             {"StoredFive", 5, -1, 0, 324},
                             {"StoredIntMax", 0x7FFFFFFF, -1, 0, 324},
                             {"StoredIntMin", INT_MIN, -1, 0, 324},
                             {"ArgumentFive", 2, 5, 0, 324},
                         }),
                         [](const auto& info) { return info.param.name; });

// --- Load -------------------------------------------------------------------

// The record as start-up leaves it before the load: defaults over a record
// whose key maps and slot areas hold recognisable bytes.
class LoadSettingsTest : public StoreFixture, public ::testing::Test {
 protected:
  void SetUp() override {
    FillRecord(store_.record(), PatternBytes(kSettingsRecordSize, 1));
    ResetRankingTables(store_.record());
    WriteDefaultSettings(store_.record());
    store_.SelectConfigSlot(0);
    before_ = RecordBytes(store_.record());
  }

  std::vector<uint8_t> before_;
};

struct LoadCase {
  const char* name;
  size_t fileSize;
  uint32_t readPiece;  // largest single read the file system delivers; 0: any
};

class LoadSizeTest : public LoadSettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSizeTest, FileBytesReplaceTheRecordsFirstBytesOnly) {
  const LoadCase& c = GetParam();
  const std::vector<uint8_t> file = WithInt(PatternBytes(c.fileSize + 4, 2), 0, 2);
  files_.SetFile(".\\Data\\KV.set", std::vector<uint8_t>(file.begin(), file.begin() + c.fileSize));
  files_.LimitReadsTo(c.readPiece);

  EXPECT_TRUE(store_.LoadSettingsFile(files_, ".\\Data\\"));

  std::vector<uint8_t> expected = before_;
  const size_t used = std::min(c.fileSize, kSettingsRecordSize);
  std::copy(file.begin(), file.begin() + used, expected.begin());
  EXPECT_EQ(RecordBytes(store_.record()), expected);
  const int32_t slot = c.fileSize >= 4 ? 2 : 0;
  EXPECT_EQ(selectedKeyMap_, store_.record().KeyMap(slot));
  EXPECT_EQ(files_.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LoadSizeTest,
                         ::testing::ValuesIn(std::vector<LoadCase>{
                             {"Empty", 0, 0},
                             {"CurrentSlotOnly", 4, 0},
                             {"IntoRankingTable0", 4000, 0},
                             {"Whole", 4684, 0},
                             {"Longer", 5000, 0},
                             {"WholeInPiecesOf1000", 4684, 1000},
                             {"LongerInPiecesOf7", 5000, 7},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST_F(LoadSettingsTest, FileOf4000BytesKeepsTable0FromByte116OnAndTheOtherTables) {
  files_.SetFile(".\\Data\\KV.set", WithInt(PatternBytes(4000, 3), 0, 0));

  store_.LoadSettingsFile(files_, ".\\Data\\");

  const SettingsRecord& record = store_.record();
  EXPECT_NE(record.Int(3884 + 96), 14);      // entry 4's last triple integer came from the file
  EXPECT_EQ(record.Int(3884 + 116), 17);     // entry 5's last triple integer is the default
  EXPECT_EQ(record.Int(3884 + 124), 20000);  // entry 6's value
  EXPECT_TRUE(std::equal(&before_[4000], &before_[0] + kSettingsRecordSize, &record.bytes[4000]));
}

struct OutOfRangeCase {
  const char* name;
  int32_t currentSlot;
};

class LoadOutOfRangeSlotTest : public LoadSettingsTest,
                               public ::testing::WithParamInterface<OutOfRangeCase> {};

TEST_P(LoadOutOfRangeSlotTest, SelectsSlot0AndStoresIt) {
  files_.SetFile(".\\Data\\KV.set", WithInt(PatternBytes(4684, 4), 0, GetParam().currentSlot));

  store_.LoadSettingsFile(files_, ".\\Data\\");

  EXPECT_EQ(store_.record().Int(0), 0);
  EXPECT_EQ(selectedKeyMap_, &store_.record().bytes[324]);
}

INSTANTIATE_TEST_SUITE_P(Slots, LoadOutOfRangeSlotTest,
                         ::testing::ValuesIn(std::vector<OutOfRangeCase>{
                             {"MinusOne", -1}, {"Five", 5}, {"IntMax", 0x7FFFFFFF}}),
                         [](const auto& info) { return info.param.name; });

TEST_F(LoadSettingsTest, MissingFileReturns0AndReselectsTheCurrentSlot) {
  store_.record().SetInt(0, 3);

  EXPECT_FALSE(store_.LoadSettingsFile(files_, ".\\Data\\"));

  EXPECT_EQ(RecordBytes(store_.record()), WithInt(before_, 0, 3));
  EXPECT_EQ(selectedKeyMap_, &store_.record().bytes[2436]);
}

TEST_F(LoadSettingsTest, LockedFileCountsAsMissing) {
  files_.SetFile(".\\Data\\KV.set", PatternBytes(4684, 5));
  files_.SetLocked(".\\Data\\KV.set");

  EXPECT_FALSE(store_.LoadSettingsFile(files_, ".\\Data\\"));
  EXPECT_EQ(RecordBytes(store_.record()), before_);
}

TEST_F(LoadSettingsTest, FolderWithoutBackslashFindsTheFileInsideIt) {
  files_.SetFile("C:\\Game\\LocalConfig\\KV.set", WithInt(PatternBytes(4684, 6), 0, 1));

  EXPECT_TRUE(store_.LoadSettingsFile(files_, "C:\\Game\\LocalConfig"));
  EXPECT_EQ(store_.record().Int(0), 1);
}

TEST_F(LoadSettingsTest, SavedAfterLoadTheFileComesBackByteForByte) {
  const std::vector<uint8_t> image = WithInt(PatternBytes(4684, 8), 0, 4);
  files_.SetFile(".\\Data\\KV.set", image);
  store_.LoadSettingsFile(files_, ".\\Data\\");

  ASSERT_TRUE(store_.SaveSettingsFile(files_, ".\\Data\\"));
  EXPECT_EQ(files_.FileBytes(".\\Data\\KV.set"), image);

  store_.SelectConfigSlot(1);
  ASSERT_TRUE(store_.SaveSettingsFile(files_, ".\\Data\\"));
  EXPECT_EQ(files_.FileBytes(".\\Data\\KV.set"), WithInt(image, 0, 1));
}

}  // namespace
}  // namespace cfg
