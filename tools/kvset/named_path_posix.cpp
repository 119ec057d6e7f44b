#include <sys/stat.h>

#include "tools/kvset/named_path.h"

namespace cfg {

bool IsSameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

// The bytes as the user typed them; the JSON writer replaces what is not UTF-8.
std::string Utf8OfNamedPath(const std::string& path) {
  return path;
}

}  // namespace cfg
