#include "settings/local_config.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/folder_path.h"
#include "tests/support/memory_file_system.h"

namespace cfg {
namespace {

// Every token of `text` (which may hold NULs) as ReadLocalConfig walks them.
std::vector<std::string> Tokens(const std::string& text) {
  const std::string buffer = text + std::string(2, '\0');
  std::vector<std::string> tokens;
  std::string token = "stale";
  for (size_t position = 0; buffer[position] != '\0';) {
    position = NextConfigToken(buffer.c_str(), position, token);
    if (!token.empty()) tokens.push_back(token);
  }
  return tokens;
}

// Tab and space separate; a CR takes the next byte along; other control bytes are
// skipped; "//" starts a comment that ends after a CR and its next byte; a lead byte
// (0x80-0x9F, 0xE0-0xFF) takes the next byte; a NUL ends the text anywhere.
TEST(ConfigTokenTest, SplitsTheTextIntoTheseTokens) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {" \t DataPath\t\tx ", {"DataPath", "x"}},     // tabs and spaces
      {"a\rbc d", {"a", "c", "d"}},                  // CR takes the next byte
      {"Da\nta\x01Pa\x1Fth", {"DataPath"}},          // LF and control bytes skipped
      {"//\r\na", {"a"}},                            // comment at start
      {"a b// x\r\nc d", {"a", "bc", "d"}},          // comment glues next line
      {"a // x\nb\r\nd", {"a", "d"}},                // comment runs over LF to CR
      {"a // x", {"a"}},                             // comment to end of text
      {"a //\x81\rb\r\nc", {"a", "c"}},              // comment lead byte takes CR
      {"a/b /c", {"a/b", "/c"}},                     // lone slash is token byte
      {"\x95\x5C\x81\x20x", {"\x95\x5C\x81\x20x"}},  // double bytes with 0x5C and 0x20 second
      {"\xB1\xDF\x7F x", {"\xB1\xDF\x7F", "x"}},     // half-width kana and DEL
      {"a \x95", {"a", "\x95"}},                     // lone lead byte at end
      {std::string("a b\0c d", 7), {"a", "b"}},      // NUL ends text
      {std::string("a\r\0b", 4), {"a"}},             // NUL after CR ends text
      {std::string("a \x95\0b", 5), {"a", "\x95"}},  // NUL after lead ends text
      {std::string("a //\x81\0b\r\nc", 10), {"a"}},  // NUL in comment ends text
      // the bounds of the lead bytes
      {"\x7F \x80 \x9F \xA0 \xDF \xE0 \xFF", {"\x7F", "\x80 \x9F \xA0", "\xDF", "\xE0 \xFF"}},
  };
  for (const auto& [text, tokens] : rows) EXPECT_EQ(Tokens(text), tokens) << text;
}

// What a DataPath or a file name may start with: a drive or a root is not relative.
TEST(FolderPathTest, TellsDriveAndRootPaths) {
  const std::pair<std::string, bool> rows[] = {
      {"", false},   {"d", false}, {"..\\d", false}, {"ab:c", false},    {":", false},
      {"\\d", true}, {"/d", true}, {"Z:", true},     {"z:\\game", true}, {"\x95\\d", false},
  };
  for (const auto& [path, absolute] : rows) EXPECT_EQ(IsDriveOrRootPath(path), absolute) << path;
}

struct ConfigRow {
  const char* name;
  std::string text;  // LocalConfig.Txt, or "-" for none
  std::string prior;
  std::string current;
  bool grown = false;
};

class ReadLocalConfigTest : public ::testing::TestWithParam<ConfigRow> {};

TEST_P(ReadLocalConfigTest, AppliesTheEntriesAndTellsThePriorDirectory) {
  MemoryFileSystem files("C:\\Start");
  files.UnderstateSizesBy(GetParam().grown ? 1 : 0);  // the file grew after its size was told
  // Folders of 127 and 128 bytes too, so that neither one cut nor one too long goes unnoticed.
  for (const std::string& folder : std::vector<std::string>{
           "C:\\Other", "C:\\Start\\A\\B", "表ソ", std::string(127, 'L'), std::string(128, 'L')})
    files.AddDirectory(folder);
  files.SetUnnamed("C:\\Start\\A\\B");
  if (GetParam().text != "-") files.SetFile(".\\LocalConfig\\LocalConfig.Txt", GetParam().text);
  files.LimitReadsTo(4);  // the text arrives in pieces

  EXPECT_EQ(ReadLocalConfig(files), GetParam().prior);

  EXPECT_EQ(files.Absolute("."), GetParam().current);
  EXPECT_EQ(files.OpenHandleCount(), 0u);
}

std::string Padded(std::string text, size_t size) {
  text.resize(size, ' ');
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadLocalConfigTest,
    ::testing::ValuesIn(std::vector<ConfigRow>{
        {"NoFile", "-", "", "C:\\Start"},
        {"Relative", "DataPath ..\\Other\r\n", "C:\\Start\\", "C:\\Other"},
        {"KeywordCaseMatters", "datapath ..\\Other DATAPATH ..\\Other", "", "C:\\Start"},
        {"KeywordThenOnlyComment", "DataPath // ..\\Other", "", "C:\\Start"},
        {"TwoRelativeEntries", "DataPath A\r\nDataPath B\r\n", "C:\\Start\\A\\", "C:\\Start\\A\\B"},
        // A folder that cannot be named is not left: it could not be come back to.
        {"UnnamedFolderIsNotLeft", "DataPath A\\B DataPath ..", "C:\\Start\\", "C:\\Start\\A\\B"},
        {"MissingFolderSetsPrior", "DataPath A DataPath Missing", "C:\\Start\\A\\", "C:\\Start\\A"},
        {"FolderIsTheKeyword", "DataPath DataPath A", "C:\\Start\\", "C:\\Start"},
        {"Folder5CSecondBytes", "DataPath 表ソ DataPath ..", "C:\\Start\\表ソ\\", "C:\\Start"},
        {"NulEndsText", std::string("DataPath A\0DataPath B", 21), "C:\\Start\\", "C:\\Start\\A"},
        {"Folder127Bytes", "DataPath " + std::string(127, 'L'), "C:\\Start\\",
         "C:\\Start\\" + std::string(127, 'L')},
        {"Folder128BytesThenMore", "DataPath " + std::string(128, 'L') + " DataPath A",
         "C:\\Start\\", "C:\\Start\\A"},
        {"File8194Bytes", Padded("DataPath ..\\Other", 8194), "C:\\Start\\", "C:\\Other"},
        {"File8195BytesIgnored", Padded("DataPath ..\\Other", 8195), "", "C:\\Start"},
        {"FileGrewAfterItsSize", "DataPath AB", "C:\\Start\\", "C:\\Start\\A", true},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
