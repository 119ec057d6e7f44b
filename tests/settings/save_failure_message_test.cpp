#include "settings/save_failure_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace cfg {
namespace {

struct MessageRow {
  const char* name;
  FileFault fault;
  std::string why;  // the line that tells the cause; empty: none
};

class SaveFailureMessageTest : public ::testing::TestWithParam<MessageRow> {};

// The file, the cause in the player's words (the system's when there are none of
// ours) on a line of its own, and the choice.
TEST_P(SaveFailureMessageTest, NamesTheFileAndTheCause) {
  const std::string message = SaveFailureMessage("C:\\Game\\Data\\KV.set", GetParam().fault);

  EXPECT_EQ(message.rfind("設定ファイル C:\\Game\\Data\\KV.set を", 0), 0u) << message;
  const std::string why = GetParam().why.empty() ? "" : "\n" + GetParam().why;
  EXPECT_NE(message.find("。" + why + "\n\n[再試行]"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), why.empty() ? 2 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, SaveFailureMessageTest,
    ::testing::ValuesIn(std::vector<MessageRow>{
        {"ReadOnly", {FileError::kReadOnly, "ignored"}, "ファイルが読み取り専用です。"},
        {"InUse", {FileError::kInUse, {}}, "ファイルを他のプログラムが使用中です。"},
        {"NoFolder", {FileError::kNoFolder, {}}, "保存先のフォルダーがありません。"},
        {"DiskFull", {FileError::kDiskFull, {}}, "ディスクの空き不足です。"},
        {"NotAFile", {FileError::kNotAFile, {}}, "通常のファイルではありません。"},
        {"SystemText", {FileError::kOther, "I/O error"}, "I/O error"},
        {"NoText", {FileError::kOther, {}}, ""},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
