// kvset run as a user runs it: in a fresh folder that is the working
// directory, with its output and exit status kept.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "settings/byte_order.h"
#include "settings/file_system_posix.h"
#include "tools/kvset/commands.h"

namespace cfg {

namespace fs = std::filesystem;
using Image = std::string;  // the bytes of a file

// Record offset of a binding's source; its code follows 4 bytes on, its handler 8.
constexpr size_t BindingAt(int slot, int controller, int position) {
  return 324 + 704 * static_cast<size_t>(slot) + 96 * static_cast<size_t>(controller) +
         12 * static_cast<size_t>(position);
}

inline Image WithInt(Image image, size_t offset, int32_t value) {
  uint8_t bytes[4];
  StoreLeInt32(bytes, value);
  return image.replace(offset, 4, reinterpret_cast<const char*>(bytes), 4);
}

inline Image WithBinding(const Image& image, int slot, int controller, int position, int32_t source,
                         int32_t code) {
  const size_t at = BindingAt(slot, controller, position);
  return WithInt(WithInt(image, at, source), at + 4, code);
}

// Every byte different from its neighbours and from zero, handler words and
// reserved areas included, with slot 2 current.
inline Image PatternImage() {
  Image image(4684, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 % 251 + 1);
  return WithInt(image, 0, 2);
}

inline Image ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& name, const Image& bytes) {
  if (fs::path(name).has_parent_path()) fs::create_directories(fs::path(name).parent_path());
  std::ofstream(name, std::ios::binary) << bytes;
}

// Written by the independent model of the file layout (tests/e2e/kvset_model.py).
inline Image GoldenFile(const std::string& name) {
  return ReadFile(std::string(GOLDEN_DIR) + "/" + name);
}

class KvsetFixture {
 protected:
  KvsetFixture() {
    char name[] = "/tmp/kvset-test-XXXXXX";
    EXPECT_NE(mkdtemp(name), nullptr);
    root_ = name;
    fs::current_path(root_);
  }
  ~KvsetFixture() {
    fs::current_path(saved_);
    fs::remove_all(root_);
  }

  // The words of the command line are split at spaces.
  int Kvset(const std::string& line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunKvset(
        args, {files_, gameFiles_}, [this] { return in_; }, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  // Every name under the folder but those of folders: a temporary file left
  // behind, or a file written in the wrong place, shows here.
  static std::set<std::string> Files() {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
      if (!entry.is_directory()) names.insert(entry.path().lexically_relative("."));
    }
    return names;
  }

  const fs::path saved_ = fs::current_path();
  fs::path root_;
  // As the Linux kvset has them: names are the system's bytes.
  PosixFileSystem files_{PathStyle::kNative};
  PosixFileSystem gameFiles_{PathStyle::kGame};
  std::string in_;  // standard input
  std::string out_;
  std::string err_;
};

}  // namespace cfg
