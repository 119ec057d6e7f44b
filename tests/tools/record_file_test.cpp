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

    SettingsRecord record;
    std::string error;
    EXPECT_FALSE(ReadRecordFileForChange(files, kPath, record, error)) << breaksOff;
    EXPECT_EQ(error, "cannot read the whole file");
    EXPECT_EQ(files.FileBytes(kPath), bytes);
  }
}

TEST(RecordFileForChange, AWholeFileIsRead) {
  MemoryFileSystem files;
  files.AddDirectory("Data");
  std::vector<uint8_t> bytes(kSettingsRecordSize, 0x5A);
  files.SetFile(kPath, bytes);

  SettingsRecord record;
  std::string error;
  ASSERT_TRUE(ReadRecordFileForChange(files, kPath, record, error)) << error;
  EXPECT_EQ(std::vector<uint8_t>(record.bytes.begin(), record.bytes.end()), bytes);
}

}  // namespace
}  // namespace cfg
