#include "settings/local_config.h"

#include <algorithm>
#include <vector>

#include "settings/folder_path.h"

namespace cfg {
namespace {

enum class ByteClass { kEnd, kSeparator, kTwoByteSeparator, kSkipped, kComment, kLead, kToken };

ByteClass ClassOf(const char* text, size_t position) {
  const uint8_t byte = static_cast<uint8_t>(text[position]);
  if (byte == 0x00) return ByteClass::kEnd;
  if (byte == '\t' || byte == ' ') return ByteClass::kSeparator;
  if (byte == '\r') return ByteClass::kTwoByteSeparator;
  if (byte < 0x20) return ByteClass::kSkipped;
  if (byte == '/' && text[position + 1] == '/') return ByteClass::kComment;
  if (IsLeadByte(byte)) return ByteClass::kLead;
  return ByteClass::kToken;
}

// A CR or a lead byte takes the byte after it too, unless that byte is a NUL:
// a NUL always ends the text, wherever it stands.
size_t SkipPair(const char* text, size_t position) {
  return text[position + 1] == '\0' ? position + 1 : position + 2;
}

// Skips a comment's bytes after its "//" up to and including the CR that
// ends the line (with the byte after it), or up to the NUL that ends the text.
size_t SkipComment(const char* text, size_t position) {
  for (;;) {
    const uint8_t byte = static_cast<uint8_t>(text[position]);
    if (byte == 0x00) return position;
    if (byte == '\r') return SkipPair(text, position);
    position = IsLeadByte(byte) ? SkipPair(text, position) : position + 1;
  }
}

}  // namespace

std::vector<char> ReadLocalConfigText(FileSystem& files) {
  const FileSystem::Handle file = files.FileOpenRead(std::string(".\\") + kLocalConfigTextName);
  if (file == FileSystem::kNoHandle) return {};
  const uint64_t size = files.FileGetSize(file);
  std::vector<char> text;
  if (size <= kLocalConfigMaxSize) {
    text.resize(size);
    const size_t filled = ReadUntilFull(files, file, text.data(), size);
    // The text ends where the bytes that arrived end, with two NULs.
    text.resize(filled + 2);
  }
  files.FileClose(file);
  return text;
}

size_t NextConfigToken(const char* text, size_t position, std::string& token) {
  token.clear();
  for (;;) {
    switch (ClassOf(text, position)) {
      case ByteClass::kEnd:
        return position;
      case ByteClass::kSeparator:
        ++position;
        if (!token.empty()) return position;
        break;
      case ByteClass::kTwoByteSeparator:
        position = SkipPair(text, position);
        if (!token.empty()) return position;
        break;
      case ByteClass::kSkipped:
        ++position;
        break;
      case ByteClass::kComment:
        position = SkipComment(text, position + 2);
        break;
      case ByteClass::kLead: {
        const size_t next = SkipPair(text, position);
        token.append(text + position, next - position);
        position = next;
        break;
      }
      case ByteClass::kToken:
        token += text[position];
        ++position;
        break;
    }
  }
}

std::string ReadLocalConfig(FileSystem& files) {
  const std::vector<char> text = ReadLocalConfigText(files);
  std::string priorDirectory;
  if (text.empty()) return priorDirectory;
  std::string token;
  std::string folder;
  size_t position = 0;
  while (text[position] != '\0') {
    position = NextConfigToken(text.data(), position, token);
    if (token != kDataPathKeyword) continue;
    position = NextConfigToken(text.data(), position, folder);
    if (folder.empty()) break;
    // A folder that did not fit the token buffer is not applied, not cut.
    if (folder.size() > kConfigTokenMaxSize) continue;
    // A directory that cannot be named could not be come back to: the
    // LocalConfig folder beside this file would be lost.
    const std::string current = files.CurrentDirectory();
    if (current.empty()) continue;
    priorDirectory = WithTrailingBackslash(current);
    files.ChangeDirectory(folder);
  }
  return priorDirectory;
}

}  // namespace cfg
