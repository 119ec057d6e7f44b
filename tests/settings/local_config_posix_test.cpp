// ReadLocalConfig against real folders: the working directory really moves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/file_system_posix.h"
#include "settings/local_config.h"
#include "tests/settings/temporary_folder.h"

namespace cfg {
namespace {

// root/Start holds LocalConfig/LocalConfig.Txt and is current; root/Game and
// root/表ソ (CP932 95 5C 83 5C) are targets. Each folder holds a file
// "where" naming it, so a test can tell which folder a path reaches.
class LocalConfigPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"Start", "Start/A", "Start/A/B", "Game", u8"表ソ"}) {
      folder_.WriteFile(std::string(folder) + "/where", folder);
    }
    folder_.Enter("Start");
  }
  void WriteConfig(const std::string& text) {
    folder_.WriteFile("Start/LocalConfig/LocalConfig.Txt", text);
  }
  bool IsCurrent(const std::string& relative) const {
    return TemporaryFolder::Current() == std::filesystem::canonical(folder_.Path(relative));
  }
  // The content of "where" in the folder that `priorDirectory` names.
  std::string FolderNamedBy(const std::string& priorDirectory) {
    const FileSystem::Handle file = files_.FileOpenRead(priorDirectory + "where");
    if (file == FileSystem::kNoHandle) return "(none)";
    char buffer[64] = {};
    const uint32_t got = files_.FileRead(file, buffer, sizeof buffer);
    files_.FileClose(file);
    return std::string(buffer, got);
  }

  TemporaryFolder folder_;
  PosixFileSystem files_;
};

TEST_F(LocalConfigPosixTest, DataPathMovesToTheFolderAndRemembersTheStart) {
  WriteConfig("DataPath ..\\Game\r\n");

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent("Game"));
  EXPECT_EQ(FolderNamedBy(prior), "Start");
  const FileSystem::Handle config = files_.FileOpenRead(prior + "LocalConfig\\LocalConfig.Txt");
  EXPECT_NE(config, FileSystem::kNoHandle);
  files_.FileClose(config);
}

TEST_F(LocalConfigPosixTest, TwoRelativeEntriesEndInsideTheFirst) {
  WriteConfig("DataPath A\r\nDataPath B\r\n");

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent("Start/A/B"));
  EXPECT_EQ(FolderNamedBy(prior), "Start/A");
}

TEST_F(LocalConfigPosixTest, MissingFolderKeepsTheDirectoryButSetsPrior) {
  WriteConfig("DataPath ..\\Missing\r\n");

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent("Start"));
  EXPECT_EQ(FolderNamedBy(prior), "Start");
}

TEST_F(LocalConfigPosixTest, JapaneseFolderWith5CSecondBytes) {
  WriteConfig("DataPath ..\\表ソ\r\n");

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent(u8"表ソ"));
  EXPECT_EQ(FolderNamedBy(prior), "Start");
}

struct IgnoredCase {
  const char* name;
  std::string text;
};

class LocalConfigPosixIgnoredTest : public LocalConfigPosixTest,
                                    public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(LocalConfigPosixIgnoredTest, NothingChanges) {
  WriteConfig(GetParam().text);

  EXPECT_EQ(ReadLocalConfig(files_), "");
  EXPECT_TRUE(IsCurrent("Start"));
}

// "..\Game\" repeated still names Game; cut anywhere it would not.
std::string RepeatedGameFolder(size_t length) {
  std::string folder;
  while (folder.size() < length) folder += "..\\Game\\";
  return folder;
}

INSTANTIATE_TEST_SUITE_P(Files, LocalConfigPosixIgnoredTest,
                         ::testing::ValuesIn(std::vector<IgnoredCase>{
                             {"Token300Bytes", "DataPath " + RepeatedGameFolder(300) + "\r\n"},
                             {"FileOver8194Bytes",
                              "DataPath ..\\Game\r\n" + std::string(8195 - 18, ' ')},
                             {"NulBeforeEntry", std::string("x\0DataPath ..\\Game\r\n", 20)},
                             {"KeywordAtEnd", "// DataPath ..\\Game\r\nDataPath"},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST_F(LocalConfigPosixTest, NulInsideTheFileEndsTheText) {
  WriteConfig(std::string("DataPath ..\\Game\r\n\0DataPath ..\\Missing", 38));

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent("Game"));
  EXPECT_EQ(FolderNamedBy(prior), "Start");
}

TEST_F(LocalConfigPosixTest, LoneLeadByteAtTheEndIsAOneByteFolder) {
  WriteConfig("DataPath ..\\Game\r\nDataPath \x95");

  const std::string prior = ReadLocalConfig(files_);

  EXPECT_TRUE(IsCurrent("Game"));
  EXPECT_EQ(FolderNamedBy(prior), "Game");
}

}  // namespace
}  // namespace cfg
