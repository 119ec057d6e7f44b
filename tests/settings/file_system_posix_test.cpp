#include "settings/file_system_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_store.h"

namespace cfg {
namespace {

namespace fs = std::filesystem;

// Runs in a fresh folder under /tmp, removed afterwards; names are relative UTF-8.
class PosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/settings-test-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    fs::current_path(root_ = name);
  }
  void TearDown() override {
    fs::current_path(saved_);
    fs::remove_all(root_);
  }
  static std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }

  fs::path saved_ = fs::current_path();
  fs::path root_;
  PosixFileSystem files_;
};

// (A folder or a missing file opened for reading: kvset's RunTest.)
TEST_F(PosixTest, WhatIsNoFileIsRefusedAndSaysWhy) {
  fs::create_symlink("gone", "link");
  const FileSystem::Handle file = files_.FileCreateNew("new");
  EXPECT_EQ(files_.FileWrite(file, "bytes", 5), 5u);
  EXPECT_EQ(files_.LastFault().cause, FileError::kNone);       // a whole write is no failure
  EXPECT_FALSE(files_.FileTakeIdentity(file, "new\\KV.set"));  // "new" is no folder
  EXPECT_TRUE(files_.FileClose(file));
  const FileSystem::Handle reading = files_.FileOpenRead("new");
  EXPECT_EQ(files_.FileWrite(reading, "x", 1), 0u);  // fails at once, not retried for ever
  EXPECT_EQ(files_.LastFault().systemText, std::strerror(EBADF));
  EXPECT_TRUE(files_.FileClose(reading) && files_.FileClose(files_.FileCreateNew("old")));
  EXPECT_TRUE(files_.FileDelete("old"));
  EXPECT_FALSE(files_.FileDelete("missing") || files_.FileReplace("missing", "new"));
  EXPECT_EQ(files_.LastFault().cause, FileError::kNoFolder);
  // A link in the way of a new file is not followed.
  EXPECT_EQ(files_.FileCreateNew("link"), FileSystem::kNoHandle);
  EXPECT_EQ(files_.LastFault().cause, FileError::kExists);
  const std::string bad = "bad\xFF\xFF";  // no CP932
  EXPECT_EQ(files_.FileOpenRead(bad), FileSystem::kNoHandle);
  EXPECT_FALSE(files_.FileDelete(bad) || files_.FileReplace(bad, "new") ||
               files_.FileTakeIdentity(file, bad));
  EXPECT_EQ(Names("."), (std::set<std::string>{"link", "new"}));
}

// The CP932 path with backslashes (表 ends in 0x5C) reaches the UTF-8 folder and back.
TEST_F(PosixTest, CurrentDirectoryIsCp932AndMayBeLong) {
  fs::create_directories(fs::u8path(std::string(250, 'd') + u8"/表"));
  ASSERT_TRUE(files_.ChangeDirectory(std::string(250, 'd') + "\\表"));

  EXPECT_EQ(files_.CurrentDirectory(),
            fs::canonical(root_).string() + "/" + std::string(250, 'd') + "/\x95\x5C");
}

// As the kernel, FinalPath follows at most 40 links: l0 -> l1 -> ... -> l40 -> end.
TEST_F(PosixTest, FinalPathFollowsFortyLinks) {
  for (int i = 0; i <= 40; ++i)
    fs::create_symlink(i == 40 ? "end" : "l" + std::to_string(i + 1), "l" + std::to_string(i));
  EXPECT_EQ(files_.FinalPath("l0"), "l40");
  EXPECT_EQ(files_.FinalPath("l40"), "end");
  fs::create_directory("d");
  fs::create_symlink("t", "d/x");  // relative to its own folder
  fs::create_symlink(root_ / "end", "d/abs");
  EXPECT_EQ(files_.FinalPath("d/x"), "d/t");
  EXPECT_EQ(files_.FinalPath("d/abs"), (root_ / "end").string());
}

// Started with its standard input closed, the process gets descriptor 0 for a file
// read or made, or a lock (whose exclusion kvset's concurrent writers test): all usable.
TEST_F(PosixTest, DescriptorZeroIsAFileLikeAnyOther) {
  std::ofstream("f") << "x";
  const int input = dup(0);
  close(0);
  EXPECT_TRUE(files_.FileClose(files_.FileOpenRead("f")) &&
              files_.FileClose(files_.FileCreateNew("g")));
  const FileSystem::Handle lock = files_.LockForChange("f");
  EXPECT_NE(lock, FileSystem::kNoHandle);
  files_.Unlock(lock);
  files_.Unlock(files_.LockForChange("f"));  // released: taken again at once, not waited for
  dup2(input, 0);
  close(input);
}

struct SaveRow {
  const char* name;
  mode_t mode;  // of the old KV.set; 0: there is none
  FileError cause;
  enum { kAnyone, kUserOnly, kRootOnly } who;  // root may write any file and give it away
  int owner = -1, group = -1;                  // of the old KV.set, when not the process's
};

class PosixSaveTest : public PosixTest, public ::testing::WithParamInterface<SaveRow> {};

// The safe save on a real disk: KV.set is the old file or the new one with the
// old one's mode, and no other file is left behind.
TEST_P(PosixSaveTest, KeepsWhatTheFileIsAndLeavesNothingElse) {
  const SaveRow& row = GetParam();
  const bool root = geteuid() == 0;
  if ((row.who == SaveRow::kUserOnly && root) || (row.who == SaveRow::kRootOnly && !root))
    GTEST_SKIP() << "only root may write any file and give files away";
  const std::string old(kSettingsRecordSize, 'o');
  if (row.cause != FileError::kNoFolder) fs::create_directories("Data");
  if (row.mode != 0) {
    std::ofstream("Data/KV.set") << old;
    ASSERT_EQ(chown("Data/KV.set", row.owner, row.group), 0);
    ASSERT_EQ(chmod("Data/KV.set", row.mode), 0);
  }
  const mode_t umasked = umask(0);
  umask(umasked);
  SettingsStore store([](int32_t) {});
  store.LoadSettingsFile(files_, ".\\Data\\");
  store.record().bytes.fill('n');
  FileFault fault;

  EXPECT_EQ(store.SaveSettingsFile(files_, ".\\Data\\", &fault), row.cause == FileError::kNone);

  EXPECT_EQ(fault.cause, row.cause);
  EXPECT_EQ(umask(umasked), umasked);  // read for the new file's mode, then given back
  if (row.cause == FileError::kNoFolder) {
    EXPECT_EQ(Names("."), std::set<std::string>{});
    return;
  }
  struct stat status {};
  EXPECT_EQ(stat("Data/KV.set", &status), 0);
  chmod("Data/KV.set", status.st_mode | S_IRUSR);  // so that a user may read a write-only file
  std::stringstream content;
  content << std::ifstream("Data/KV.set").rdbuf();
  EXPECT_EQ(content.str(),
            row.cause == FileError::kNone ? std::string(kSettingsRecordSize, 'n') : old);
  EXPECT_EQ(status.st_mode & 07777, row.mode != 0 ? row.mode : 0666 & ~umasked);
  EXPECT_EQ(Names("Data"), std::set<std::string>{"KV.set"});
  EXPECT_EQ(status.st_uid, row.owner < 0 ? geteuid() : static_cast<uid_t>(row.owner));
  EXPECT_EQ(status.st_gid, row.group < 0 ? status.st_gid : static_cast<gid_t>(row.group));
}

// Read-only: no write bit for anybody (also for root), or none for this process.
INSTANTIATE_TEST_SUITE_P(
    Files, PosixSaveTest,
    ::testing::ValuesIn(std::vector<SaveRow>{
        {"NewFileGetsTheUsualMode", 0, FileError::kNone, SaveRow::kAnyone},
        {"WriteOnlyIsWritable", 0200, FileError::kNone, SaveRow::kAnyone},
        {"ReadOnlyIsKept", 0444, FileError::kReadOnly, SaveRow::kAnyone},
        {"OthersMayWriteButNotTheOwner", 0420, FileError::kReadOnly, SaveRow::kUserOnly},
        {"AnotherOwnerIsKept", 0640, FileError::kNone, SaveRow::kRootOnly, 65534},
        {"AnotherGroupIsKept", 0640, FileError::kNone, SaveRow::kRootOnly, -1, 65534},
        {"NoFolderIsNotMade", 0, FileError::kNoFolder, SaveRow::kAnyone},
    }),
    [](const auto& info) { return info.param.name; });

// Faults put into the system calls under an old file "f" and the link "l" to
// it: an interrupted call is made again, a failed sync leaves the old file
// whole, an owner refused still gets the group, a link that grew is not followed.
struct CallFault {
  const char* name;
  std::function<void(PosixCalls&, std::vector<uid_t>& owners)> fault;
  std::function<bool(PosixFileSystem&, const std::vector<uid_t>& owners)> holds;
};

template <typename Call>
auto InterruptedOnce(Call call) {
  return [call, interrupted = false](auto... args) mutable {
    if (std::exchange(interrupted, true)) return call(args...);
    errno = EINTR;
    return decltype(call(args...)){-1};
  };
}

// What "f" holds after a save of `bytes`, after the cause when it failed.
std::string Saved(PosixFileSystem& files, const std::string& bytes) {
  FileFault fault;
  const bool saved = SaveWholeFile(files, "f", bytes, &fault);
  std::stringstream content;
  content << (saved ? "" : fault.systemText + ": ") << std::ifstream("f").rdbuf();
  return content.str();
}

class PosixCallTest : public PosixTest, public ::testing::WithParamInterface<CallFault> {};

TEST_P(PosixCallTest, FaultsAreMetAsTheirCallsSay) {
  std::ofstream("f") << "old";
  fs::create_symlink("f", "l");
  ASSERT_EQ(chown("f", geteuid() + 1, getegid()), geteuid() == 0 ? 0 : -1);
  PosixCalls calls;
  std::vector<uid_t> owners;
  GetParam().fault(calls, owners);
  PosixFileSystem files(PathStyle::kGame, calls);
  EXPECT_TRUE(GetParam().holds(files, owners));
  EXPECT_EQ(Names("."), (std::set<std::string>{"f", "l"}));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, PosixCallTest,
    ::testing::ValuesIn(std::vector<CallFault>{
        {"ReadInterrupted", [](PosixCalls& c, auto&) { c.read = InterruptedOnce(c.read); },
         [](PosixFileSystem& files, auto&) {
           char bytes[4] = {};
           const FileSystem::Handle file = files.FileOpenRead("f");
           return files.FileRead(file, bytes, 4) == 3 && files.FileClose(file) &&
                  std::string(bytes) == "old";
         }},
        {"WriteInterrupted", [](PosixCalls& c, auto&) { c.write = InterruptedOnce(c.write); },
         [](PosixFileSystem& files, auto&) { return Saved(files, "new") == "new"; }},
        {"LockInterrupted", [](PosixCalls& c, auto&) { c.flock = InterruptedOnce(c.flock); },
         [](PosixFileSystem& files, auto&) { return ChangeLock(files, "f").held(); }},
        {"SyncFails",
         [](PosixCalls& c, auto&) {
           c.fsync = [](int) {
             errno = EIO;
             return -1;
           };
         },
         [](PosixFileSystem& files, auto&) {
           return Saved(files, "new") == std::string(std::strerror(EIO)) + ": old";
         }},
        {"DiskFull",  // a write that takes nothing is a full disk, whatever errno held
         [](PosixCalls& c, auto&) {
           c.write = [](int, const void*, size_t) {
             errno = EAGAIN;
             return ssize_t{0};
           };
         },
         [](PosixFileSystem& files, auto&) {
           FileFault fault;
           std::stringstream kept;
           const bool saved = SaveWholeFile(files, "f", "new", &fault);
           kept << std::ifstream("f").rdbuf();
           return !saved && fault.cause == FileError::kDiskFull && kept.str() == "old";
         }},
        {"ModeRefused",  // a new file that cannot take the old one's mode does not replace it
         [](PosixCalls& c, auto&) {
           c.fchmod = [](int, mode_t) {
             errno = EPERM;
             return -1;
           };
         },
         [](PosixFileSystem& files, auto&) {
           return Saved(files, "new") == ": old";  // a refusal is a cause without system text
         }},
        {"OwnerRefusedGroupKept",
         [](PosixCalls& c, std::vector<uid_t>& owners) {
           c.fchown = [&owners](int file, uid_t owner, gid_t group) {
             owners.push_back(owner);
             errno = EPERM;
             return owner == static_cast<uid_t>(-1) ? fchown(file, owner, group) : -1;
           };
         },
         [](PosixFileSystem& files, const std::vector<uid_t>& owners) {
           return Saved(files, "new") == "new" &&
                  (geteuid() != 0 ||  // only root's file can have another owner
                   owners == std::vector<uid_t>{geteuid() + 1, static_cast<uid_t>(-1)});
         }},
        {"LinkGrewWhileRead",
         [](PosixCalls& c, auto&) {
           c.readlink = [](const char*, char*, size_t size) { return static_cast<ssize_t>(size); };
         },
         [](PosixFileSystem& files, auto&) { return files.FinalPath("l") == "l"; }},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
