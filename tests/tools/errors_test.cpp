// One bad argument or an unfit file: an error that names the file, exit 2,
// and the file exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config_version.h"
#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

struct ErrorCase {
  const char* name;
  std::vector<std::string> args;
  std::string message;  // a part of the error
};

class ErrorTest : public KvsetFixture, public ::testing::TestWithParam<ErrorCase> {
 protected:
  void SetUp() override {
    WriteImage(before_);
    WriteImage(before_, "other.set");
    folder_.WriteFile("map.txt", "[controller 1]\nUP=z\nB1=zz\n");
    folder_.WriteFile("odd.txt", "\xFF\xFE[");
    std::filesystem::create_directory(folder_.Path("folder"));
  }
  const Image before_ = PatternImage();
};

TEST_P(ErrorTest, ChangesNothingAndNamesTheProblem) {
  EXPECT_EQ(Kvset(GetParam().args), kExitError);

  EXPECT_NE(err_.find(GetParam().message), std::string::npos) << err_;
  EXPECT_EQ(err_.rfind("kvset: ", 0), 0u) << err_;
  EXPECT_EQ(ReadImage(), before_);
  EXPECT_FALSE(HasTemporaryFile());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ErrorTest,
    ::testing::ValuesIn(std::vector<ErrorCase>{
        {"OnOffMisspelt",
         {"set", "KV.set", "window=yes"},
         "KV.set: window=yes: expected on or off"},
        {"OneBadAmongGood", {"set", "KV.set", "window=on", "slot=5"}, "KV.set: slot=5"},
        {"FieldTwice", {"set", "KV.set", "window=on", "window=off"}, "window=off: given twice"},
        {"UnknownField", {"set", "KV.set", "sound=on"}, "KV.set: sound=on"},
        {"NothingToSet", {"set", "KV.set"}, "CHANGES"},
        {"UnknownKey", {"bind", "KV.set", "UP=z", "B1=zz"}, "KV.set: B1=zz: no such input"},
        {"MisspeltKey", {"bind", "KV.set", "B1=hmoe"}, "(did you mean Home?)"},
        {"UnknownPosition", {"bind", "KV.set", "B5=z"}, "KV.set: B5=z: the position"},
        {"NoEquals", {"bind", "KV.set", "UPz"}, "KV.set: UPz"},
        {"PositionTwice", {"bind", "KV.set", "UP=z", "up=x"}, "controller 1 UP is given twice"},
        {"Joystick5", {"bind", "KV.set", "UP=pad5:B1"}, "UP=pad5:B1"},
        {"NotCp932", {"bind", "KV.set", u8"UP=\U0001F600"}, "no such input"},
        {"Slot5", {"bind", "KV.set", "--slot", "5", "UP=z"}, "--slot takes a number from 0 to 4"},
        {"SlotInWords", {"bind", "--slot", "two", "KV.set", "UP=z"}, "--slot takes a number"},
        {"OptionOfAnotherCommand",
         {"show", "--slot", "1", "KV.set"},
         "kvset: show: --slot is not an option of show"},
        {"OneWordTooMany", {"show", "KV.set", "other.set"}, "show: other.set: one word more"},
        {"FileIsAFolder", {"show", "folder"}, "folder: not a regular file"},
        {"GameFolderMissing", {"show", "--game", "none"}, "--game none: cannot enter the folder"},
        {"DefaultsOverAFile", {"defaults", "KV.set"}, "KV.set: the file exists; give --force"},
        {"Controller0", {"bind", "KV.set", "--controller", "0", "UP=z"}, "--controller"},
        {"CopyToSlot5", {"copy-slot", "KV.set", "0", "5"}, "TO"},
        {"ImportBadLine", {"import", "KV.set", "map.txt"}, "map.txt: line 3: B1=zz"},
        {"ImportMissingText", {"import", "KV.set", "none.txt"}, "none.txt: cannot open"},
        {"ImportOddUtf16", {"import", "KV.set", "odd.txt"}, "odd.txt: the text is not UTF-8"},
        {"UnknownCommand", {"frob", "KV.set"}, "kvset: frob: no such command\n"},
        {"MisspeltCommand", {"shwo", "KV.set"}, "shwo: no such command (did you mean show?)"},
        {"NoCommand", {}, "kvset: give a command: show check keys set"},
    }),
    [](const auto& info) { return info.param.name; });

struct FileCase {
  const char* name;
  std::vector<std::string> args;
};

const std::vector<FileCase> kChangingCommands = {
    {"Set", {"set", "KV.set", "window=on"}},
    {"Bind", {"bind", "KV.set", "--slot", "0", "UP=z"}},
    {"CopySlot", {"copy-slot", "KV.set", "0", "1"}},
    {"Import", {"import", "KV.set", "--slot", "0", "map.txt"}},
    {"ResetRankings", {"reset-rankings", "KV.set"}},
};

std::vector<FileCase> EveryCommand() {
  std::vector<FileCase> commands = {
      {"Show", {"show", "KV.set"}},
      {"Check", {"check", "KV.set"}},
      {"Export", {"export", "KV.set", "--slot", "0"}},
  };
  commands.insert(commands.end(), kChangingCommands.begin(), kChangingCommands.end());
  return commands;
}

class MissingFileTest : public KvsetFixture, public ::testing::TestWithParam<FileCase> {};

TEST_P(MissingFileTest, IsAnErrorThatNamesTheFileAndCreatesNothing) {
  folder_.WriteFile("map.txt", "[controller 1]\nUP=z\n");

  EXPECT_EQ(Kvset(GetParam().args), kExitError);

  EXPECT_EQ(err_, "kvset: KV.set: cannot open the file: there is no such file\n");
  EXPECT_EQ(out_, "");
  EXPECT_FALSE(Exists("KV.set"));
  EXPECT_FALSE(HasTemporaryFile());
}

INSTANTIATE_TEST_SUITE_P(Commands, MissingFileTest, ::testing::ValuesIn(EveryCommand()),
                         [](const auto& info) { return info.param.name; });

class UnfitFileTest : public KvsetFixture, public ::testing::TestWithParam<FileCase> {
 protected:
  void SetUp() override { folder_.WriteFile("map.txt", "[controller 1]\nUP=z\n"); }
};

TEST_P(UnfitFileTest, WrongSizeIsRefused) {
  for (const size_t size : {size_t{0}, size_t{4683}, size_t{4685}}) {
    const Image before = PatternBytes(size, 3);
    WriteImage(before);

    EXPECT_EQ(Kvset(GetParam().args), kExitError);

    EXPECT_EQ(err_, "kvset: KV.set: the file is " + std::to_string(size) +
                        " bytes, not 4684; nothing changed\n");
    EXPECT_EQ(ReadImage(), before);
  }
}

TEST_P(UnfitFileTest, ReadOnlyFileInAWritableFolderIsRefused) {
  const Image before = PatternImage();
  WriteImage(before);
  chmod(folder_.Path("KV.set").c_str(), 0444);

  EXPECT_EQ(Kvset(GetParam().args), kExitError);

  EXPECT_NE(err_.find("kvset: KV.set: cannot write the file"), std::string::npos) << err_;
  EXPECT_EQ(ReadImage(), before);
  EXPECT_FALSE(HasTemporaryFile());
}

// A sparse file: 4 GiB more than a record, which a 32-bit size would take for one.
constexpr uint64_t kOver4GiB = (uint64_t{1} << 32) + 4684;

TEST_P(UnfitFileTest, FileOf4GiBMoreThanARecordIsRefused) {
  WriteImage(PatternImage());
  ASSERT_EQ(truncate(folder_.Path("KV.set").c_str(), kOver4GiB), 0);

  EXPECT_EQ(Kvset(GetParam().args), kExitError);

  EXPECT_EQ(err_, "kvset: KV.set: the file is 4294971980 bytes, not 4684; nothing changed\n");
  EXPECT_EQ(std::filesystem::file_size(folder_.Path("KV.set")), kOver4GiB);
}

INSTANTIATE_TEST_SUITE_P(Commands, UnfitFileTest, ::testing::ValuesIn(kChangingCommands),
                         [](const auto& info) { return info.param.name; });

class SparseFileTest : public KvsetFixture, public ::testing::Test {};

TEST_F(SparseFileTest, CheckReportsTheWholeSize) {
  WriteImage(PatternImage());
  ASSERT_EQ(truncate(folder_.Path("KV.set").c_str(), kOver4GiB), 0);

  EXPECT_EQ(Kvset({"check", "KV.set"}), kExitFindings);

  EXPECT_NE(out_.find("size 4294971980 bytes"), std::string::npos) << out_;
}

// A pipe named KV.set would block a plain open until a writer came; every
// command must refuse it at once. The command runs in a child the alarm ends.
class PipeFileTest : public KvsetFixture, public ::testing::TestWithParam<FileCase> {};

TEST_P(PipeFileTest, IsRefusedAtOnce) {
  folder_.WriteFile("map.txt", "[controller 1]\nUP=z\n");
  ASSERT_EQ(mkfifo(folder_.Path("KV.set").c_str(), 0600), 0);

  const pid_t child = fork();
  if (child == 0) {
    alarm(5);
    const bool refused = Kvset(GetParam().args) == kExitError &&
                         err_.find("not a regular file") != std::string::npos;
    _exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);

  EXPECT_FALSE(WIFSIGNALED(status)) << "the command hung";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "not refused as no regular file";
  EXPECT_TRUE(std::filesystem::is_fifo(folder_.Path("KV.set")));
  EXPECT_FALSE(HasTemporaryFile());
}

std::vector<FileCase> EveryCommandAndDefaults() {
  std::vector<FileCase> commands = EveryCommand();
  commands.push_back({"Defaults", {"defaults", "KV.set"}});
  return commands;
}

INSTANTIATE_TEST_SUITE_P(Commands, PipeFileTest, ::testing::ValuesIn(EveryCommandAndDefaults()),
                         [](const auto& info) { return info.param.name; });

class CurrentSlotTest : public KvsetFixture, public ::testing::TestWithParam<FileCase> {};

TEST_P(CurrentSlotTest, OutOfRangeAsksForTheSlot) {
  const Image before = WithInt(PatternImage(), 0, 5);
  WriteImage(before);
  folder_.WriteFile("map.txt", "[controller 1]\nUP=z\n");

  EXPECT_EQ(Kvset(GetParam().args), kExitError);

  EXPECT_EQ(err_, "kvset: KV.set: the current slot is 5, not 0-4; give --slot\n");
  EXPECT_EQ(ReadImage(), before);
}

INSTANTIATE_TEST_SUITE_P(Commands, CurrentSlotTest,
                         ::testing::ValuesIn(std::vector<FileCase>{
                             {"Bind", {"bind", "KV.set", "UP=z"}},
                             {"Export", {"export", "KV.set"}},
                             {"Import", {"import", "KV.set", "map.txt"}},
                         }),
                         [](const auto& info) { return info.param.name; });

class HelpTest : public KvsetFixture, public ::testing::TestWithParam<std::string> {};

TEST_P(HelpTest, GoesToStandardOutputAndExits0) {
  std::vector<std::string> args = {"--help"};
  if (!GetParam().empty()) args.insert(args.begin(), GetParam());

  EXPECT_EQ(Kvset(args), kExitDone);

  EXPECT_NE(out_.find("Usage: kvset " + GetParam()), std::string::npos) << out_;
  EXPECT_EQ(err_, "");
}

INSTANTIATE_TEST_SUITE_P(Commands, HelpTest,
                         ::testing::Values("", "show", "check", "keys", "set", "bind", "copy-slot",
                                           "export", "import", "reset-rankings", "defaults"),
                         [](const auto& info) {
                           std::string name = info.param.empty() ? "kvset" : info.param;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

TEST_F(HelpTest, VersionGoesToStandardOutputAndExits0) {
  EXPECT_EQ(Kvset({"--version"}), kExitDone);

  EXPECT_EQ(out_, std::string("kvset ") + CONFIG_VERSION_TEXT + "\n");
  EXPECT_EQ(err_, "");
}

}  // namespace
}  // namespace cfg
