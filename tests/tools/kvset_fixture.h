// kvset run as a user runs it: on KV.set in a fresh folder that is the
// working directory, with its output and exit status kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "settings/file_system_posix.h"
#include "tests/settings/store_fixture.h"
#include "tests/settings/temporary_folder.h"
#include "tools/kvset/commands.h"

namespace cfg {

using Image = std::vector<uint8_t>;

// Record offset of a binding's source; its code follows 4 bytes on, its handler 8.
constexpr size_t BindingAt(int slot, int controller, int position) {
  return 324 + 704 * static_cast<size_t>(slot) + 96 * static_cast<size_t>(controller) +
         12 * static_cast<size_t>(position);
}

inline Image WithBinding(Image image, int slot, int controller, int position, int32_t source,
                         int32_t code) {
  StoreLeInt32(&image[BindingAt(slot, controller, position)], source);
  StoreLeInt32(&image[BindingAt(slot, controller, position) + 4], code);
  return image;
}

// Every byte different from its neighbours, handler words and reserved areas
// included, with slot 2 current.
inline Image PatternImage() {
  return WithInt(PatternBytes(4684, 21), 0, 2);
}

class KvsetFixture {
 protected:
  KvsetFixture() { folder_.Enter(""); }

  int Kvset(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunKvset(
        args, {files_, gameFiles_}, [this] { return in_; }, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  void WriteImage(const Image& image, const std::string& name = "KV.set") const {
    folder_.WriteFile(name, std::string(image.begin(), image.end()));
  }
  Image ReadImage(const std::string& name = "KV.set") const {
    const std::string bytes = folder_.ReadFile(name);
    return Image(bytes.begin(), bytes.end());
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(folder_.Path(name)); }
  // A temporary file left anywhere under the folder.
  bool HasTemporaryFile() const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.Path(""))) {
      if (entry.path().extension() == ".tmp") return true;
    }
    return false;
  }

  TemporaryFolder folder_;
  // As the Linux kvset has them: names are the system's bytes.
  PosixFileSystem files_{PathStyle::kNative};
  PosixFileSystem gameFiles_{PathStyle::kGame};
  std::string in_;  // standard input
  std::string out_;
  std::string err_;
};

}  // namespace cfg
