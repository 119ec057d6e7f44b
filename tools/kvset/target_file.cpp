#include "tools/kvset/target_file.h"

#include <algorithm>
#include <optional>

#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "settings/settings_folders.h"
#include "settings/settings_store.h"
#include "settings/text_codec.h"
#include "tools/kvset/ascii_case.h"

namespace cfg {
namespace {

constexpr char kDataFolderName[] = "data";
constexpr char kLocalConfigFile[] = "LocalConfig\\KV.set";

struct GameFile {
  std::string path;    // as the program forms it, relative to the current directory or absolute
  bool found = false;  // else `path` is where Config.exe would save
};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDataFolderName(const std::string& name) {
  return EqualsIgnoringCase(name, kDataFolderName);
}

bool IsRelativePath(const std::string& path) {
  const bool rooted = !path.empty() && IsSeparator(path[0]);
  const bool drive = path.size() > 1 && path[1] == ':';
  return !rooted && !drive;
}

// The position after the last separator before `end`, or 0.
size_t NameStart(const std::string& path, size_t end) {
  // CP932 trail bytes never equal a separator's byte but for 0x5C; a name
  // ending in such a character only misses the warning.
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return end;
}

bool FileOpens(FileSystem& files, const std::string& path) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return false;
  files.FileClose(file);
  return true;
}

// From inside the game's folder: applies its LocalConfig.Txt (which may
// change the current directory) and tries the settings folders in the
// program's order. `files` takes the game's own paths.
GameFile FindGameFile(FileSystem& files) {
  GameFile file;
  for (const std::string& settingsFolder : SettingsFolders(ReadLocalConfig(files))) {
    file.path = SettingsFilePath(settingsFolder);
    file.found = FileOpens(files, file.path);
    if (file.found) break;
  }
  return file;
}

// For a `path` in a folder named Data: the LocalConfig\KV.set beside that
// folder when it opens (the game reads that one first); else nothing.
std::optional<std::string> ShadowingFile(FileSystem& files, const std::string& path) {
  const size_t fileStart = NameStart(path, path.size());
  if (fileStart == 0) return std::nullopt;
  const size_t folderStart = NameStart(path, fileStart - 1);
  if (!IsDataFolderName(path.substr(folderStart, fileStart - 1 - folderStart))) return std::nullopt;
  // In the path's own separator.
  std::string shadowing = path.substr(0, folderStart) + kLocalConfigFile;
  std::replace(shadowing.begin() + folderStart, shadowing.end(), '\\', path[fileStart - 1]);
  if (!FileOpens(files, shadowing)) return std::nullopt;
  return shadowing;
}

}  // namespace

int Fail(std::ostream& err, const std::string& name, const std::string& message) {
  err << "kvset: " << name << ": " << message << "\n";
  return kExitError;
}

bool PathOfName(FileSystem& files, const std::string& name, std::string& path, std::ostream& err) {
  const std::optional<std::string> converted = files.PathFromUtf8(name);
  if (!converted) {
    Fail(err, name, "the name has characters that code page 932 lacks");
    return false;
  }
  path = *converted;
  return true;
}

bool TargetFile::Locate() {
  if (located_) return true;
  if (!argument_.game.empty()) {
    located_ = LocateGameFile();
    return located_;
  }
  if (!PathOfName(files_.named, argument_.file, path_, err_)) return false;
  name_ = argument_.file;
  WarnWhenShadowed();
  located_ = true;
  return true;
}

// The lookup runs inside the game's folder in the game's own paths, as
// Config.exe's does; then the working folder is the user's again, so that
// the other names on the command line mean what they meant.
bool TargetFile::LocateGameFile() {
  const std::string where = Word();
  std::string folder;
  if (!PathOfName(files_.named, argument_.game, folder, err_)) return false;
  FileSystem& named = files_.named;
  FileSystem& game = files_.game;
  const std::string startFolder = named.CurrentDirectory();
  if (!named.ChangeDirectory(folder)) {
    Fail(err_, where, "cannot enter the folder (" + FaultText(named.LastFault()) + ")");
    return false;
  }
  const GameFile file = FindGameFile(game);
  const std::string folderNow = game.CurrentDirectory();
  named.ChangeDirectory(startFolder);
  if (folderNow.empty()) {
    Fail(err_, where, "the folder's name has characters that code page 932 lacks");
    return false;
  }
  path_ = IsRelativePath(file.path) ? WithTrailingBackslash(folderNow) + file.path : file.path;
  pathFiles_ = &game;
  name_ = Utf8FromCp932(file.path).value_or(file.path);
  err_ << "kvset: " << where << ": "
       << (file.found ? "the game's file is " + name_
                      : "no KV.set yet; " + name_ + " is where Config.exe saves it")
       << " (in " << Utf8FromCp932(folderNow).value_or(folderNow) << ")\n";
  return true;
}

void TargetFile::WarnWhenShadowed() {
  const std::optional<std::string> shadowing = ShadowingFile(files_.named, path_);
  if (!shadowing) return;
  err_ << "kvset: warning: " << name_ << ": the game reads " << *shadowing
       << " instead while that file exists\n";
}

bool TargetFile::Report(bool done) {
  if (!done) Fail(err_, name_, error_);
  return done;
}

bool TargetFile::Exists() {
  return FileOpens(*pathFiles_, path_);
}

bool TargetFile::Read(RecordFile& file) {
  return Locate() && Report(ReadRecordFile(*pathFiles_, path_, file, error_));
}

bool TargetFile::Change(const RecordEdit& edit) {
  return Locate() && Report(ChangeRecordFile(*pathFiles_, path_, edit, error_));
}

bool TargetFile::Write(const SettingsRecord& record) {
  return Locate() && Report(WriteRecordFile(*pathFiles_, path_, record, error_));
}

}  // namespace cfg
