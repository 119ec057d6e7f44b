#include "settings/save_failure_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace cfg {
namespace {

// The file, the cause in the player's words (the system's when there are none of
// ours) on a line of its own, and the choice.
TEST(SaveFailureMessageTest, NamesTheFileAndTheCause) {
  const std::pair<FileFault, std::string> rows[] = {
      {{FileError::kReadOnly, "ignored"}, "ファイルが読み取り専用です。"},
      {{FileError::kInUse, {}}, "ファイルを他のプログラムが使用中です。"},
      {{FileError::kNoFolder, {}}, "保存先のフォルダーがありません。"},
      {{FileError::kDiskFull, {}}, "ディスクの空き不足です。"},
      {{FileError::kNotAFile, {}}, "通常のファイルではありません。"},
      {{FileError::kOther, "I/O error"}, "I/O error"},
      {{FileError::kOther, {}}, ""},
  };
  for (const auto& [fault, cause] : rows) {
    const std::string message = SaveFailureMessage("C:\\Game\\Data\\KV.set", fault);
    SCOPED_TRACE(message);
    EXPECT_EQ(message.rfind("設定ファイル C:\\Game\\Data\\KV.set を", 0), 0u);
    const std::string why = cause.empty() ? "" : "\n" + cause;
    EXPECT_NE(message.find("。" + why + "\n\n[再試行]"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), why.empty() ? 2 : 3);
  }
}

}  // namespace
}  // namespace cfg
