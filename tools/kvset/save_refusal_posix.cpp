#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "tools/kvset/save_refusal.h"

namespace cfg {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string UserName(uid_t user) {
  const passwd* entry = getpwuid(user);
  return entry != nullptr ? entry->pw_name : std::to_string(user);
}

std::string OwnedBy(const struct stat& status) {
  return status.st_uid == geteuid() ? std::string() : UserName(status.st_uid);
}

}  // namespace

std::optional<std::string> SaveRefusalCause(const std::string& path) {
  const std::string folder = FolderOf(path);
  struct statvfs volume;
  if (statvfs(folder.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0) {
    return "the file system is mounted read-only (work on a copy elsewhere)";
  }
  const std::string me = UserName(geteuid());
  struct stat status;
  if (access(folder.c_str(), W_OK) != 0 && stat(folder.c_str(), &status) == 0) {
    const std::string owner = OwnedBy(status);
    if (owner.empty())
      return "its folder " + folder + " is read-only (fix: chmod u+w " + folder + ")";
    return "you may not write in its folder " + folder + ", which belongs to " + owner +
           " (fix: sudo chown " + me + " " + folder + ")";
  }
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  const std::string owner = OwnedBy(status);
  if (!owner.empty() && access(path.c_str(), W_OK) != 0) {
    return "the file belongs to " + owner + ", as after a 'sudo kvset' (fix: sudo chown " + me +
           " " + path + ")";
  }
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0) {
    return "the file is read-only (fix: chmod u+w " + path + ")";
  }
  return std::nullopt;
}

}  // namespace cfg
