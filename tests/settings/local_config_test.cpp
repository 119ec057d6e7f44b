#include "settings/local_config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/memory_file_system.h"

namespace cfg {
namespace {

using ::testing::_;
using ::testing::ElementsAreArray;
using ::testing::Invoke;
using ::testing::Return;

// Every token of `text` (which may hold NULs) as ReadLocalConfig walks them.
std::vector<std::string> Tokens(const std::string& text) {
  const std::string buffer = text + std::string(2, '\0');
  std::vector<std::string> tokens;
  std::string token;
  size_t position = 0;
  while (buffer[position] != '\0') {
    position = NextConfigToken(buffer.c_str(), position, token);
    if (!token.empty()) tokens.push_back(token);
  }
  return tokens;
}

struct TokenCase {
  const char* name;
  std::string text;
  std::vector<std::string> tokens;
};

class ConfigTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ConfigTokenTest, SplitsTheTextIntoTheseTokens) {
  EXPECT_THAT(Tokens(GetParam().text), ElementsAreArray(GetParam().tokens));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConfigTokenTest,
    ::testing::ValuesIn(std::vector<TokenCase>{
        {"Empty", "", {}},
        {"OnlySeparators", " \t\r\n \r\n\t", {}},
        {"CrLfLine", "DataPath ..\\Game\r\n", {"DataPath", "..\\Game"}},
        {"TabsAndSpaces", " \t DataPath\t\tx ", {"DataPath", "x"}},
        {"CrTakesTheNextByte", "a\rbc d", {"a", "c", "d"}},
        {"LfDoesNotSeparate", "DataPath\n..\\Game", {"DataPath..\\Game"}},
        {"EqualsSignGlues", "DataPath=..\\Game", {"DataPath=..\\Game"}},
        {"ColonGlues", "DataPath:..\\Game", {"DataPath:..\\Game"}},
        {"OtherControlBytesSkipped", "Da\x01ta\x1FPa\x0Bth", {"DataPath"}},
        {"CommentAfterSpace", "DataPath ..\\Game // note\r\nx", {"DataPath", "..\\Game", "x"}},
        {"CommentAfterTab", "DataPath ..\\Game\t// note\r\nx", {"DataPath", "..\\Game", "x"}},
        {"CommentGluesNextLine",
         "DataPath ..\\Game// note\r\nNext x",
         {"DataPath", "..\\GameNext", "x"}},
        {"CommentRunsOverLfToCr", "a // x\nb\nc\r\nd", {"a", "d"}},
        {"CommentCrTakesTheNextByte", "a // x\rbc d", {"a", "c", "d"}},
        {"CommentToEndOfText", "a // x", {"a"}},
        {"CommentLeadByteTakesCr", "a //\x81\rb\r\nc", {"a", "c"}},
        {"LoneSlashIsTokenByte", "a/b /c", {"a/b", "/c"}},
        {"SpaceEndsFolder", "DataPath My Folder", {"DataPath", "My", "Folder"}},
        {"DoubleByteWith5C", "DataPath \x95\x5C\x83\x5C", {"DataPath", "\x95\x5C\x83\x5C"}},
        {"DoubleByteWith20", "DataPath \x81\x20x", {"DataPath", "\x81\x20x"}},
        {"DoubleByteWithSlashes", "\x81/\x81/ x", {"\x81/\x81/", "x"}},
        {"HalfWidthKanaAndDel", "\xB1\xDF\x7F x", {"\xB1\xDF\x7F", "x"}},
        {"KeywordEndsLine", "x DataPath\r\n..\\G", {"x", "DataPath", "..\\G"}},
        {"LastByteCr", "a\r", {"a"}},
        {"LoneLeadByteAtEnd", "a \x95", {"a", "\x95"}},
        {"NulEndsText", std::string("a b\0c d", 7), {"a", "b"}},
        {"NulAfterCrEndsText", std::string("a\r\0b", 4), {"a"}},
        {"NulAfterLeadEndsText", std::string("a \x95\0b", 5), {"a", "\x95"}},
        {"NulInCommentEndsText", std::string("a //\x81\0b\r\nc", 10), {"a"}},
    }),
    [](const auto& info) { return info.param.name; });

struct PositionCase {
  const char* name;
  std::string text;
  size_t start;
  std::string token;
  size_t next;
};

class ConfigTokenPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ConfigTokenPositionTest, ReturnsWhereTheNextCallGoesOn) {
  const PositionCase& c = GetParam();
  const std::string buffer = c.text + std::string(2, '\0');
  std::string token = "stale";
  EXPECT_EQ(NextConfigToken(buffer.c_str(), c.start, token), c.next);
  EXPECT_EQ(token, c.token);
}

INSTANTIATE_TEST_SUITE_P(Positions, ConfigTokenPositionTest,
                         ::testing::ValuesIn(std::vector<PositionCase>{
                             {"AtNul", "", 0, "", 0},
                             {"AfterSpace", "ab cd", 0, "ab", 3},
                             {"AfterCrLf", "ab\r\ncd", 0, "ab", 4},
                             {"SecondToken", "ab cd", 3, "cd", 5},
                             {"SeparatorsThenEnd", "ab  ", 2, "", 4},
                         }),
                         [](const auto& info) { return info.param.name; });

// --- ReadLocalConfig over the in-memory file system -------------------------

const char kConfigPath[] = "C:\\Start\\LocalConfig\\LocalConfig.Txt";

class ReadLocalConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.AddDirectory("C:\\Other");
    files_.AddDirectory("C:\\Start\\A\\B");
  }
  void WriteConfig(const std::string& text) { files_.SetFile(kConfigPath, text); }

  MemoryFileSystem files_{"C:\\Start"};
};

TEST_F(ReadLocalConfigTest, WithoutTheFileNothingChanges) {
  EXPECT_EQ(ReadLocalConfig(files_), "");
  EXPECT_EQ(files_.CurrentDirectory(), "C:\\Start");
}

struct ConfigCase {
  const char* name;
  std::string text;
  std::string prior;
  std::string current;
};

class ReadLocalConfigCaseTest : public ReadLocalConfigTest,
                                public ::testing::WithParamInterface<ConfigCase> {};

TEST_P(ReadLocalConfigCaseTest, AppliesTheEntries) {
  WriteConfig(GetParam().text);

  EXPECT_EQ(ReadLocalConfig(files_), GetParam().prior);
  EXPECT_EQ(files_.CurrentDirectory(), GetParam().current);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadLocalConfigCaseTest,
    ::testing::ValuesIn(std::vector<ConfigCase>{
        {"Empty", "", "", "C:\\Start"},
        {"Relative", "DataPath ..\\Other\r\n", "C:\\Start\\", "C:\\Other"},
        {"Absolute", "DataPath C:\\Other", "C:\\Start\\", "C:\\Other"},
        {"LowerCaseKeyword", "datapath ..\\Other", "", "C:\\Start"},
        {"UpperCaseKeyword", "DATAPATH ..\\Other", "", "C:\\Start"},
        {"KeywordLast", "x DataPath", "", "C:\\Start"},
        {"KeywordThenOnlyComment", "DataPath // ..\\Other", "", "C:\\Start"},
        {"TwoRelativeEntries", "DataPath A\r\nDataPath B\r\n", "C:\\Start\\A\\", "C:\\Start\\A\\B"},
        {"KeywordMidLine", "x DataPath A y", "C:\\Start\\", "C:\\Start\\A"},
        {"MissingFolder", "DataPath Missing", "C:\\Start\\", "C:\\Start"},
        {"MissingAfterApplied", "DataPath A DataPath Missing", "C:\\Start\\A\\", "C:\\Start\\A"},
        {"FolderIsKeyword", "DataPath DataPath A", "C:\\Start\\", "C:\\Start"},
        {"NulEndsText", std::string("DataPath A\0DataPath B", 21), "C:\\Start\\", "C:\\Start\\A"},
    }),
    [](const auto& info) { return info.param.name; });

struct TokenLengthCase {
  const char* name;
  size_t length;
  bool applied;
};

class ReadLocalConfigTokenLengthTest : public ReadLocalConfigTest,
                                       public ::testing::WithParamInterface<TokenLengthCase> {};

// Folders of 127 bytes and of the tested length exist, so neither an
// over-long folder nor one cut to 127 bytes could be entered unnoticed.
TEST_P(ReadLocalConfigTokenLengthTest, FolderOverTheTokenBufferIsNotApplied) {
  const std::string folder(GetParam().length, 'L');
  files_.AddDirectory("C:\\Start\\" + std::string(127, 'L'));
  files_.AddDirectory("C:\\Start\\" + folder);
  WriteConfig("DataPath " + folder + "\r\n");

  const bool applied = GetParam().applied;
  EXPECT_EQ(ReadLocalConfig(files_), applied ? "C:\\Start\\" : "");
  EXPECT_EQ(files_.CurrentDirectory(), applied ? "C:\\Start\\" + folder : "C:\\Start");
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReadLocalConfigTokenLengthTest,
                         ::testing::ValuesIn(std::vector<TokenLengthCase>{
                             {"Fits127", 127, true},
                             {"Over128", 128, false},
                             {"Over300", 300, false},
                         }),
                         [](const auto& info) { return info.param.name; });

TEST_F(ReadLocalConfigTest, OverLongFolderDoesNotStopTheFollowingEntries) {
  WriteConfig("DataPath " + std::string(128, 'L') + " DataPath A");

  EXPECT_EQ(ReadLocalConfig(files_), "C:\\Start\\");
  EXPECT_EQ(files_.CurrentDirectory(), "C:\\Start\\A");
}

TEST_F(ReadLocalConfigTest, DriveRootGetsNoSecondBackslash) {
  files_.SetFile("C:\\LocalConfig\\LocalConfig.Txt", "DataPath Other");
  files_.ChangeDirectory("C:\\");

  EXPECT_EQ(ReadLocalConfig(files_), "C:\\");
  EXPECT_EQ(files_.CurrentDirectory(), "C:\\Other");
}

TEST_F(ReadLocalConfigTest, LongCurrentDirectoryIsKeptWhole) {
  const std::string deep = "C:\\" + std::string(200, 'd') + "\\" + std::string(200, 'e');
  files_.AddDirectory(deep + "\\A");
  files_.SetFile(deep + "\\LocalConfig\\LocalConfig.Txt", "DataPath A");
  files_.ChangeDirectory(deep);

  EXPECT_EQ(ReadLocalConfig(files_), deep + "\\");
  EXPECT_EQ(files_.CurrentDirectory(), deep + "\\A");
}

struct SizeCase {
  const char* name;
  size_t size;
  bool applied;
};

class ReadLocalConfigSizeTest : public ReadLocalConfigTest,
                                public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ReadLocalConfigSizeTest, FileTooLargeForTheTextAreaIsIgnoredWhole) {
  std::string text = "DataPath ..\\Other";
  text.resize(GetParam().size, ' ');
  WriteConfig(text);
  files_.LimitReadsTo(1000);

  EXPECT_EQ(ReadLocalConfig(files_), GetParam().applied ? "C:\\Start\\" : "");
  EXPECT_EQ(files_.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadLocalConfigSizeTest,
                         ::testing::ValuesIn(std::vector<SizeCase>{
                             {"Fits8194", 8194, true},
                             {"Over8195", 8195, false},
                             {"Over100000", 100000, false},
                         }),
                         [](const auto& info) { return info.param.name; });

class MockFileSystem : public FileSystem {
 public:
  MOCK_METHOD(Handle, FileOpenRead, (const std::string&), (override));
  MOCK_METHOD(Handle, FileCreateNew, (const std::string&), (override));
  MOCK_METHOD(std::string, TemporaryPathBeside, (const std::string&), (override));
  MOCK_METHOD(bool, FileTakeIdentity, (Handle, const std::string&), (override));
  MOCK_METHOD(uint32_t, FileRead, (Handle, void*, uint32_t), (override));
  MOCK_METHOD(uint32_t, FileWrite, (Handle, const void*, uint32_t), (override));
  MOCK_METHOD(bool, FileClose, (Handle), (override));
  MOCK_METHOD(uint64_t, FileGetSize, (Handle), (override));
  MOCK_METHOD(std::string, FinalPath, (const std::string&), (override));
  MOCK_METHOD(bool, FileReplace, (const std::string&, const std::string&), (override));
  MOCK_METHOD(bool, FileDelete, (const std::string&), (override));
  MOCK_METHOD(Handle, LockForChange, (const std::string&), (override));
  MOCK_METHOD(void, Unlock, (Handle), (override));
  MOCK_METHOD(FileFault, LastFault, (), (override));
  MOCK_METHOD(std::optional<std::string>, PathFromUtf8, (const std::string&), (override));
  MOCK_METHOD(std::string, CurrentDirectory, (), (override));
  MOCK_METHOD(bool, ChangeDirectory, (const std::string&), (override));
};

// The size said 8000 bytes but only these arrive, then the reads end.
TEST(ReadLocalConfigShortReadTest, TextEndsWhereTheBytesThatArrivedEnd) {
  ::testing::StrictMock<MockFileSystem> files;
  const std::string arrived = "DataPath Here DataPath";
  EXPECT_CALL(files, FileOpenRead(".\\LocalConfig\\LocalConfig.Txt")).WillOnce(Return(7));
  EXPECT_CALL(files, FileGetSize(7)).WillOnce(Return(8000));
  EXPECT_CALL(files, FileRead(7, _, 8000))
      .WillOnce(Invoke([&](FileSystem::Handle, void* buffer, uint32_t) {
        std::memcpy(buffer, arrived.data(), arrived.size());
        return static_cast<uint32_t>(arrived.size());
      }));
  EXPECT_CALL(files, FileRead(7, _, static_cast<uint32_t>(8000 - arrived.size())))
      .WillOnce(Return(0));
  EXPECT_CALL(files, FileClose(7)).WillOnce(Return(true));
  EXPECT_CALL(files, CurrentDirectory()).WillOnce(Return("D:\\Start"));
  EXPECT_CALL(files, ChangeDirectory("Here")).WillOnce(Return(true));

  EXPECT_EQ(ReadLocalConfig(files), "D:\\Start\\");
}

}  // namespace
}  // namespace cfg
