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

void WriteStandardOutput(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void WriteStandardError(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace cfg
