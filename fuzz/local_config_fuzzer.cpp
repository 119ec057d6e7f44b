// LocalConfig.Txt of any bytes and size, read over a small tree of folders.
// Every folder the reader moves to is the token after a DataPath token, the tokenizer
// never reads past the text's two closing NULs, and the prior directory is empty
// or the directory before the last move with a closing backslash.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "tests/support/memory_file_system.h"

namespace cfg {
namespace {

constexpr char kLocalConfigText[] = "C:\\Game\\LocalConfig\\LocalConfig.Txt";

// Folders a DataPath can reach: relative, nested, another drive, and one
// whose double-byte name has 0x5C second bytes.
constexpr const char* kFolders[] = {
    "C:\\Game\\A\\B",
    "C:\\Game\\Data",
    "D:\\Play\\Data",
    "C:\\Game\\\x95\x5C\x83\x5C",
};

// Remembers each ChangeDirectory with the directory that was current then.
class RecordingFileSystem : public MemoryFileSystem {
 public:
  struct Move {
    std::string folder;
    std::string from;
  };

  RecordingFileSystem() : MemoryFileSystem("C:\\Game") {}

  bool ChangeDirectory(const std::string& path) override {
    moves.push_back({path, Absolute(".")});
    return MemoryFileSystem::ChangeDirectory(path);
  }

  std::vector<Move> moves;
};

// Bytes that never stand in a token by themselves: NUL, controls, space.
bool IsTokenByte(uint8_t byte) {
  return byte > 0x20;
}

// A token holds no separator or control byte, except as the second byte of a
// double-byte character.
bool HasOnlyTokenBytes(const std::string& token) {
  for (size_t i = 0; i < token.size(); ++i) {
    const uint8_t byte = static_cast<uint8_t>(token[i]);
    if (IsLeadByte(byte)) {
      ++i;
    } else if (!IsTokenByte(byte)) {
      return false;
    }
  }
  return true;
}

// True when the token's bytes appear in the text in order (a comment may glue
// two pieces of it together, and skipped bytes drop out).
bool IsSubsequence(const std::string& token, const std::string& text) {
  size_t at = 0;
  for (char byte : token) {
    at = text.find(byte, at);
    if (at == std::string::npos) return false;
    ++at;
  }
  return true;
}

// Every token of the text, read from a buffer of exactly the text and its two
// NULs so that a read past them is caught.
std::vector<std::string> Tokens(const std::string& text) {
  const size_t size = text.size();
  std::unique_ptr<char[]> buffer(new char[size + 2]);
  text.copy(buffer.get(), size);
  buffer[size] = '\0';
  buffer[size + 1] = '\0';
  std::vector<std::string> tokens;
  std::string token;
  size_t position = 0;
  while (buffer[position] != '\0') {
    const size_t next = NextConfigToken(buffer.get(), position, token);
    FUZZ_CHECK(next > position || buffer[next] == '\0');
    FUZZ_CHECK(next <= size);
    if (!token.empty()) tokens.push_back(token);
    position = next;
  }
  return tokens;
}

// True when the folder stands right after a "DataPath" token somewhere.
bool FollowsDataPath(const std::vector<std::string>& tokens, const std::string& folder) {
  for (size_t i = 1; i < tokens.size(); ++i) {
    if (tokens[i - 1] == "DataPath" && tokens[i] == folder) return true;
  }
  return false;
}

}  // namespace
}  // namespace cfg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  RecordingFileSystem files;
  for (const char* folder : kFolders) files.AddDirectory(folder);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  files.SetFile(kLocalConfigText, bytes);

  const std::string prior = ReadLocalConfig(files);

  if (size > kLocalConfigMaxSize) {
    FUZZ_CHECK(files.moves.empty());
    FUZZ_CHECK(prior.empty());
    return 0;
  }
  const std::string text = bytes.substr(0, bytes.find('\0'));  // a NUL ends the text
  const std::vector<std::string> tokens = Tokens(text);
  for (const RecordingFileSystem::Move& move : files.moves) {
    FUZZ_CHECK(!move.folder.empty() && move.folder.size() <= kConfigTokenMaxSize);
    FUZZ_CHECK(FollowsDataPath(tokens, move.folder));
    FUZZ_CHECK(HasOnlyTokenBytes(move.folder));
    FUZZ_CHECK(IsSubsequence(move.folder, text));
  }
  if (files.moves.empty()) {
    FUZZ_CHECK(prior.empty());
  } else {
    FUZZ_CHECK(prior == WithTrailingBackslash(files.moves.back().from));
    FUZZ_CHECK(EndsWithBackslash(prior));
  }
  return 0;
}
