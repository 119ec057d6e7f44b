// A fresh folder under /tmp that the test may chdir around in; the working
// directory of the test program is put back and the folder removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace cfg {

class TemporaryFolder {
 public:
  TemporaryFolder() : saved_(std::filesystem::current_path()) {
    char name[] = "/tmp/kvset-test-XXXXXX";
    EXPECT_NE(mkdtemp(name), nullptr);
    root_ = name;
  }
  ~TemporaryFolder() {
    std::filesystem::current_path(saved_);
    std::filesystem::remove_all(root_);
  }

  // `relative` is UTF-8 with '/' separators.
  std::filesystem::path Path(const std::string& relative) const {
    return root_ / std::filesystem::u8path(relative);
  }
  void MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(Path(relative));
  }
  void WriteFile(const std::string& relative, const std::string& bytes) const {
    std::filesystem::create_directories(Path(relative).parent_path());
    std::ofstream(Path(relative), std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Enter(const std::string& relative) const { std::filesystem::current_path(Path(relative)); }

 private:
  std::filesystem::path saved_;
  std::filesystem::path root_;
};

}  // namespace cfg
