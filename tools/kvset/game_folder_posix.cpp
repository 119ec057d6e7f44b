// The game's paths inside one game folder as Wine and Proton resolve them: the
// game's own names in CP932 with backslashes, each matched ignoring case; the
// folder above the game's is the system's own, whatever its characters.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "settings/ascii_case.h"
#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "settings/text_codec.h"
#include "tools/kvset/game_folder.h"

namespace cfg {
namespace {

constexpr char kParent[] = "..";
// The start of this file system's own absolute paths: the game folder. No
// token of LocalConfig.Txt holds a control byte, so none names it.
constexpr char kGameRoot[] = "\\\x01";

bool IsFolder(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts(1);
  for (const char c : path) {
    if (c == '\\' || c == '/') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// A FileSystem whose current directory lives here, not in the process: the
// lookup never moves the user's working folder. Its own absolute paths start
// with kGameRoot; the game's drive and root paths are not followed (no
// Windows drive stands for a Linux folder here).
class WineGameFiles : public FileSystem {
 public:
  WineGameFiles(FileSystem& named, std::string folder)
      : named_(named), folder_(std::move(folder)) {}

  // The path in the named file system, each name matched ignoring case.
  std::optional<std::string> Native(const std::string& path) const {
    const std::optional<std::vector<std::string>> parts = Resolved(path);
    if (!parts) return std::nullopt;
    std::string native = folder_;
    for (const std::string& part : *parts) {
      const std::optional<std::string> name = Utf8FromCp932(part);
      if (!name) return std::nullopt;
      if (native.back() != '/') native += '/';
      native += part == kParent ? part : NameInFolder(native, *name);
    }
    return native;
  }

  Handle FileOpenRead(const std::string& path) override {
    return WithNative(path, kNoHandle,
                      [&](const std::string& p) { return named_.FileOpenRead(p); });
  }
  Handle FileCreateNew(const std::string& path) override {
    return WithNative(path, kNoHandle,
                      [&](const std::string& p) { return named_.FileCreateNew(p); });
  }
  std::string TemporaryPathBeside(const std::string& path) override {
    return named_.TemporaryPathBeside(path);
  }
  bool FileTakeIdentity(Handle file, const std::string& original) override {
    return WithNative(original, false,
                      [&](const std::string& p) { return named_.FileTakeIdentity(file, p); });
  }
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override {
    return named_.FileRead(file, buffer, count);
  }
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override {
    return named_.FileWrite(file, buffer, count);
  }
  bool FileClose(Handle file) override { return named_.FileClose(file); }
  uint64_t FileGetSize(Handle file) override { return named_.FileGetSize(file); }
  std::string FinalPath(const std::string& path) override { return path; }
  bool FileCanReplace(const std::string& to) override {
    return WithNative(to, false, [&](const std::string& p) { return named_.FileCanReplace(p); });
  }
  bool FileReplace(const std::string& from, const std::string& to) override {
    const std::optional<std::string> source = Native(from);
    const std::optional<std::string> target = Native(to);
    return source && target && named_.FileReplace(*source, *target);
  }
  bool FileDelete(const std::string& path) override {
    return WithNative(path, false, [&](const std::string& p) { return named_.FileDelete(p); });
  }
  Handle LockForChange(const std::string& path) override {
    return WithNative(path, kNoHandle,
                      [&](const std::string& p) { return named_.LockForChange(p); });
  }
  void Unlock(Handle lock) override { named_.Unlock(lock); }
  FileFault LastFault() override { return named_.LastFault(); }
  void Pause(unsigned milliseconds) override { named_.Pause(milliseconds); }
  std::optional<std::string> PathFromUtf8(const std::string& name) override {
    return Cp932FromUtf8(name);
  }
  std::string CurrentDirectory() override {
    std::string path = kGameRoot;
    for (const std::string& part : current_) path += "\\" + part;
    return path;
  }
  bool ChangeDirectory(const std::string& path) override {
    const std::optional<std::vector<std::string>> parts = Resolved(path);
    const std::optional<std::string> native = Native(path);
    if (!parts || !native || !IsFolder(*native)) return false;
    current_ = *parts;
    return true;
  }

 private:
  // The names from the game folder on, "." and ".." taken out where they can be.
  std::optional<std::vector<std::string>> Resolved(const std::string& path) const {
    const bool fromGameRoot = path.rfind(kGameRoot, 0) == 0;
    if (!fromGameRoot && IsDriveOrRootPath(path)) return std::nullopt;
    std::vector<std::string> parts = fromGameRoot ? std::vector<std::string>() : current_;
    for (const std::string& part :
         PathParts(fromGameRoot ? path.substr(sizeof kGameRoot - 1) : path)) {
      if (part.empty() || part == ".") continue;
      if (part == kParent && !parts.empty() && parts.back() != kParent) {
        parts.pop_back();
      } else {
        parts.push_back(part);
      }
    }
    return parts;
  }

  template <typename Result, typename Call>
  Result WithNative(const std::string& path, Result failed, Call call) {
    const std::optional<std::string> native = Native(path);
    return native ? call(*native) : failed;
  }

  FileSystem& named_;
  const std::string folder_;
  std::vector<std::string> current_;  // from the game folder on
};

class WineGameFolder : public GameFolder {
 public:
  explicit WineGameFolder(FileSystem& named) : named_(named) {}

  bool Find(const std::string& folder, GameFile& file, std::string& error) override {
    if (!IsFolder(folder)) {
      error = "cannot enter the folder (no such folder)";
      return false;
    }
    WineGameFiles game(named_, folder);
    const GameLookup lookup = FindGameFile(game);
    const std::optional<std::string> native = game.Native(lookup.path);
    if (!native) {
      error = "cannot follow the game's path " + Utf8FromCp932(lookup.path).value_or(lookup.path);
      return false;
    }
    file = {
        *native, *native, lookup.found,
        game.Native(std::string(kGameRoot) + "\\" + kLocalConfigTextName).value_or(std::string()),
        lookup.localConfigFindings};
    return true;
  }

 private:
  FileSystem& named_;
};

}  // namespace

std::unique_ptr<GameFolder> PlatformGameFolder(FileSystem& named) {
  return std::make_unique<WineGameFolder>(named);
}

std::string NameInFolder(const std::string& folder, const std::string& name) {
  const std::string in = folder.empty() ? "." : folder;
  struct stat status;
  if (lstat((in + "/" + name).c_str(), &status) == 0) return name;
  DIR* entries = opendir(in.c_str());
  if (entries == nullptr) return name;
  // Of several, the first in byte order, the same every run.
  std::optional<std::string> match;
  while (const dirent* entry = readdir(entries)) {
    const std::string candidate = entry->d_name;
    if (EqualsIgnoringCase(candidate, name) && (!match || candidate < *match)) match = candidate;
  }
  closedir(entries);
  return match.value_or(name);
}

}  // namespace cfg
