// On Windows the file system ignores case itself and the named paths are the
// game's own: the lookup runs in the game's folder as Config.exe's does, then
// the working folder is the user's again, so that the other names on the
// command line mean what they meant.
#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "settings/text_codec.h"
#include "tools/kvset/game_folder.h"
#include "tools/kvset/record_file.h"

namespace cfg {
namespace {

class WindowsGameFolder : public GameFolder {
 public:
  explicit WindowsGameFolder(FileSystem& files) : files_(files) {}

  bool Find(const std::string& folder, GameFile& file, std::string& error) override {
    const std::string startFolder = files_.CurrentDirectory();
    if (!files_.ChangeDirectory(folder)) {
      error = "cannot enter the folder (" + FaultText(files_.LastFault()) + ")";
      return false;
    }
    file.localConfigName =
        Utf8FromCp932(WithTrailingBackslash(files_.CurrentDirectory()) + kLocalConfigTextName)
            .value_or(kLocalConfigTextName);
    const GameLookup lookup = FindGameFile(files_);
    file.localConfigFindings = lookup.localConfigFindings;
    const std::string folderNow = files_.CurrentDirectory();
    files_.ChangeDirectory(startFolder);
    const std::string relative =
        lookup.path.rfind(".\\", 0) == 0 ? lookup.path.substr(2) : lookup.path;
    file.path =
        IsDriveOrRootPath(relative) ? relative : WithTrailingBackslash(folderNow) + relative;
    file.name = Utf8FromCp932(file.path).value_or(file.path);
    file.found = lookup.found;
    return true;
  }

 private:
  FileSystem& files_;
};

}  // namespace

std::unique_ptr<GameFolder> PlatformGameFolder(FileSystem& named) {
  return std::make_unique<WindowsGameFolder>(named);
}

std::string NameInFolder(const std::string&, const std::string& name) {
  return name;
}

}  // namespace cfg
