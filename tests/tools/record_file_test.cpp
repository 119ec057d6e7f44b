#include "tools/kvset/record_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/memory_file_system.h"

namespace cfg {
namespace {

constexpr char kPath[] = "C:\\Game\\Data\\KV.set";

// A change to a file that was not read whole would write the start-up
// defaults over the bytes that were never read.
TEST(RecordFileForChange, ReadThatFailsOrBreaksOffIsRefusedAndTheFileKept) {
  for (const bool breaksOff : {false, true}) {
    MemoryFileSystem files;
    files.AddDirectory("Data");
    const std::vector<uint8_t> bytes(kSettingsRecordSize, 0xA5);
    files.SetFile(kPath, bytes);
    if (breaksOff) {
      files.LimitReadsTo(1000);
      files.StopAfterCalls(3);  // open, size, one read of 1000 bytes; then nothing
    } else {
      files.FailNext(FileOperation::kRead);
    }

    bool edited = false;
    std::string error;
    EXPECT_FALSE(ChangeRecordFile(
        files, kPath, [&](SettingsRecord&, std::string&) { return edited = true; }, error))
        << breaksOff;
    EXPECT_EQ(error, "cannot read the whole file");
    EXPECT_FALSE(edited);
    EXPECT_EQ(files.FileBytes(kPath), bytes);
  }
}

TEST(RecordFileForChange, AWholeFileIsEditedAndReplacedUnderTheLock) {
  MemoryFileSystem files;
  files.AddDirectory("Data");
  std::vector<uint8_t> bytes(kSettingsRecordSize, 0x5A);
  files.SetFile(kPath, bytes);

  std::string error;
  ASSERT_TRUE(ChangeRecordFile(
      files, kPath,
      [&](SettingsRecord& record, std::string&) {
        EXPECT_TRUE(files.LockHeld());
        EXPECT_EQ(std::vector<uint8_t>(record.bytes.begin(), record.bytes.end()), bytes);
        record.bytes[7] = 0x01;
        return true;
      },
      error))
      << error;
  bytes[7] = 0x01;
  EXPECT_EQ(files.FileBytes(kPath), bytes);
  EXPECT_FALSE(files.LockHeld());
}

}  // namespace
}  // namespace cfg
