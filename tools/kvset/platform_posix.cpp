#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "settings/file_system_posix.h"
#include "tools/kvset/platform.h"

namespace cfg {
namespace {

// The temporary file this run has made and not yet put in place or removed,
// for the handler of SIGINT and SIGTERM to remove; empty when there is none.
char temporaryFile[4096];

void RemoveTemporaryAndDie(int signal) {
  if (temporaryFile[0] != '\0') unlink(temporaryFile);
  ::signal(signal, SIG_DFL);
  raise(signal);
}

// While blocked, neither signal can come between a change of the files and
// the record of it.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t both;
    sigemptyset(&both);
    sigaddset(&both, SIGINT);
    sigaddset(&both, SIGTERM);
    sigprocmask(SIG_BLOCK, &both, &saved_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }

 private:
  sigset_t saved_;
};

// Knows the one temporary file a save has open (the safe save makes one at a time).
class InterruptibleFileSystem : public PosixFileSystem {
 public:
  InterruptibleFileSystem() : PosixFileSystem(PathStyle::kNative) {
    for (const int signal : {SIGINT, SIGTERM}) ::signal(signal, RemoveTemporaryAndDie);
  }

  Handle FileCreateNew(const std::string& path) override {
    const SignalsHeld held;
    const Handle file = PosixFileSystem::FileCreateNew(path);
    if (file != kNoHandle && path.size() < sizeof temporaryFile) {
      std::memcpy(temporaryFile, path.c_str(), path.size() + 1);
    }
    return file;
  }
  bool FileReplace(const std::string& from, const std::string& to) override {
    const SignalsHeld held;
    const bool replaced = PosixFileSystem::FileReplace(from, to);
    if (replaced) Forget(from);
    return replaced;
  }
  bool FileDelete(const std::string& path) override {
    const SignalsHeld held;
    const bool deleted = PosixFileSystem::FileDelete(path);
    if (deleted) Forget(path);
    return deleted;
  }

 private:
  static void Forget(const std::string& path) {
    if (path == temporaryFile) temporaryFile[0] = '\0';
  }
};

}  // namespace

std::vector<std::string> CommandLineWords(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::unique_ptr<FileSystem> PlatformFileSystem() {
  return std::make_unique<InterruptibleFileSystem>();
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
