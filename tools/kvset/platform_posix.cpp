#include <cstdio>

#include "settings/file_system_posix.h"
#include "tools/kvset/platform.h"

namespace cfg {

std::vector<std::string> CommandLineWords(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::unique_ptr<FileSystem> PlatformFileSystem() {
  return std::make_unique<PosixFileSystem>(PathStyle::kNative);
}

bool WriteStandardOutput(const std::string& text) {
  const size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 && written == text.size() && !std::ferror(stdout);
}

void WriteStandardError(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

std::string ReadStandardInput() {
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, got);
  return text;
}

}  // namespace cfg
