#include "tools/kvset/record_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/memory_file_system.h"

namespace cfg {

// A change to a file that was not read whole would write the start-up
// defaults over the bytes that were never read.
TEST(RecordFileForChange, ReadThatFailsIsRefusedAndTheFileKept) {
  MemoryFileSystem files;
  const std::vector<uint8_t> bytes(kSettingsRecordSize, 0xA5);
  files.SetFile("KV.set", bytes);
  files.FailNext(FileOperation::kRead);

  bool edited = false;
  std::string error;
  EXPECT_FALSE(ChangeRecordFile(
      files, "KV.set", [&](SettingsRecord&, std::string&) { return edited = true; }, error));

  EXPECT_EQ(error, "cannot read the whole file");
  EXPECT_FALSE(edited);
  EXPECT_EQ(files.FileBytes("KV.set"), bytes);
}

}  // namespace cfg
