// LocalConfig.Txt of any bytes and size: the tokenizer never reads past the text's two
// closing NULs, every folder the reader moves to is the token after a DataPath token, and
// the prior directory is empty or the one before the last move, with a closing backslash.
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "tests/support/memory_file_system.h"

namespace cfg {
namespace {

// Remembers each folder applied; "C:\Game\Data" exists so that a DataPath can reach it.
class RecordingFileSystem : public MemoryFileSystem {
 public:
  RecordingFileSystem() : MemoryFileSystem("C:\\Game") { AddDirectory("C:\\Game\\Data"); }
  bool ChangeDirectory(const std::string& path) override {
    moves.push_back(path);
    lastFrom = Absolute(".");
    return MemoryFileSystem::ChangeDirectory(path);
  }
  std::vector<std::string> moves;
  std::string lastFrom;
};

// The text's tokens, read from a buffer of exactly the text and its two NULs.
std::vector<std::string> Tokens(const std::string& text) {
  std::unique_ptr<char[]> buffer(new char[text.size() + 2]());
  text.copy(buffer.get(), text.size());
  std::vector<std::string> tokens;
  std::string token;
  for (size_t position = 0; buffer[position] != '\0';) {
    const size_t next = NextConfigToken(buffer.get(), position, token);
    FUZZ_CHECK(next <= text.size() && (next > position || buffer[next] == '\0'));
    if (!token.empty()) tokens.push_back(token);
    position = next;
  }
  return tokens;
}

}  // namespace
}  // namespace cfg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  RecordingFileSystem files;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  files.SetFile("C:\\Game\\LocalConfig\\LocalConfig.Txt", bytes);
  const std::string prior = ReadLocalConfig(files);
  FUZZ_CHECK(prior == (files.moves.empty() ? "" : WithTrailingBackslash(files.lastFrom)));
  const std::vector<std::string> tokens = Tokens(bytes.substr(0, bytes.find('\0')));
  for (const std::string& folder : files.moves) {
    bool followsDataPath = false;
    for (size_t i = 1; i < tokens.size(); ++i)
      followsDataPath |= tokens[i - 1] == "DataPath" && tokens[i] == folder;
    FUZZ_CHECK(followsDataPath);
  }
  return 0;
}
