// Every changing command writes exactly the bytes asked for and keeps all others.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

struct ChangeCase {
  const char* name;
  std::vector<std::string> args;
  std::function<Image(Image)> expected;  // from the file before
};

Image WithSlotKeyMap(Image image, int from, int to) {
  std::copy_n(&image[324 + 704 * from], 384, &image[324 + 704 * to]);
  return image;
}

// Default A falls from 50000 by 5000, default B rises from 327599 by 3600.
Image WithDefaultRankings(Image image) {
  for (int table = 0; table < 4; ++table) {
    for (int entry = 0; entry < 10; ++entry) {
      const size_t at = 3884 + 200 * table + 20 * entry;
      const int32_t value = table < 2 ? 50000 - 5000 * entry : 327599 + 3600 * entry;
      const int32_t fields[5] = {0, value, 3 * entry, 3 * entry + 1, 3 * entry + 2};
      for (int k = 0; k < 5; ++k) StoreLeInt32(&image[at + 4 * k], fields[k]);
    }
  }
  return image;
}

class ChangeTest : public KvsetFixture, public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeTest, WritesOnlyTheBytesAskedFor) {
  const Image before = PatternImage();
  WriteImage(before);

  EXPECT_EQ(Kvset(GetParam().args), kExitDone) << err_;

  EXPECT_EQ(ReadImage(), GetParam().expected(before));
  EXPECT_EQ(err_, "");
  EXPECT_FALSE(HasTemporaryFile());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ChangeTest,
    ::testing::ValuesIn(std::vector<ChangeCase>{
        {"WindowOn", {"set", "KV.set", "window=on"}, [](Image i) { return WithInt(i, 3568, 0); }},
        {"WindowOff", {"set", "KV.set", "window=off"}, [](Image i) { return WithInt(i, 3568, 1); }},
        {"Start640On",
         {"set", "KV.set", "start640x480=on"},
         [](Image i) { return WithInt(i, 3560, 1); }},
        {"Keep320Off",
         {"set", "KV.set", "keep320x240=off"},
         [](Image i) { return WithInt(i, 3564, 0); }},
        {"Slot4", {"set", "KV.set", "slot=4"}, [](Image i) { return WithInt(i, 0, 4); }},
        {"AllOptions",
         {"set", "KV.set", "slot=0", "keep320x240=on", "start640x480=off", "window=on"},
         [](Image i) {
           return WithInt(WithInt(WithInt(WithInt(i, 0, 0), 3564, 1), 3560, 0), 3568, 0);
         }},
        {"BindCurrentSlotController1",
         {"bind", "KV.set", u8"UP=↓"},
         [](Image i) { return WithBinding(i, 2, 0, 0, 0, 208); }},
        {"BindSlotAndController",
         {"bind", "KV.set", "--slot", "4", "--controller", "4", "B4=pad2:B3"},
         [](Image i) { return WithBinding(i, 4, 3, 7, 2, 0x4); }},
        {"BindSeveral",
         {"bind", "KV.set", "--controller", "2", "left=none", "DOWN=key:300", "B1=pad1:0x30"},
         [](Image i) {
           return WithBinding(WithBinding(WithBinding(i, 2, 1, 2, 0, 0), 2, 1, 1, 0, 300), 2, 1, 4,
                              1, 0x30);
         }},
        {"BindYenKey",
         {"bind", "KV.set", "--slot", "0", "B2=\\"},
         [](Image i) { return WithBinding(i, 0, 0, 5, 0, 125); }},
        {"CopySlot",
         {"copy-slot", "KV.set", "1", "3"},
         [](Image i) { return WithSlotKeyMap(i, 1, 3); }},
        {"CopySlotOntoItself", {"copy-slot", "KV.set", "2", "2"}, [](Image i) { return i; }},
        {"ResetRankings", {"reset-rankings", "KV.set"}, WithDefaultRankings},
    }),
    [](const auto& info) { return info.param.name; });

// --game DIR: the file Config.exe would read there is the one changed; the
// others stay as they were.
struct GameCase {
  const char* name;
  std::vector<std::string> files;  // present before, in the game folder g
  std::string localConfigTxt;      // g/LocalConfig/LocalConfig.Txt, when not empty
  std::vector<std::string> args;   // after the command's name
  std::string changed;             // the one file the command writes
  std::string message;             // a part of standard error
};

class GameTest : public KvsetFixture, public ::testing::TestWithParam<GameCase> {};

TEST_P(GameTest, ChangesTheFileTheGameReadsAndSaysWhich) {
  for (const char* folder : {"g/Data", "g/LocalConfig", "g/d/Data"}) folder_.MakeFolder(folder);
  for (const std::string& file : GetParam().files) WriteImage(PatternImage(), file);
  if (!GetParam().localConfigTxt.empty()) {
    folder_.WriteFile("g/LocalConfig/LocalConfig.Txt", GetParam().localConfigTxt);
  }
  std::vector<std::string> args = {"set"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  args.push_back("window=on");

  EXPECT_EQ(Kvset(args), kExitDone) << err_;

  EXPECT_NE(err_.find(GetParam().message), std::string::npos) << err_;
  EXPECT_EQ(ReadImage(GetParam().changed), WithInt(PatternImage(), 3568, 0));
  for (const std::string& file : GetParam().files) {
    if (file == GetParam().changed) continue;
    EXPECT_EQ(ReadImage(file), PatternImage()) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GameTest,
    ::testing::ValuesIn(std::vector<GameCase>{
        {"LocalConfigFirst",
         {"g/LocalConfig/KV.set", "g/Data/KV.set"},
         "",
         {"--game", "g"},
         "g/LocalConfig/KV.set",
         "--game g: the game's file is LocalConfig\\KV.set"},
        {"DataWithoutLocalConfig",
         {"g/Data/KV.set"},
         "",
         {"--game=g"},
         "g/Data/KV.set",
         "the game's file is .\\Data\\KV.set"},
        {"DataPathWithCrLf",
         {"g/Data/KV.set", "g/d/Data/KV.set"},
         "// moved\r\nDataPath d\r\n",
         {"--game", "g"},
         "g/d/Data/KV.set",
         "Data\\KV.set (in "},
        {"DataFileWhileLocalConfigExists",
         {"g/LocalConfig/KV.set", "g/Data/KV.set"},
         "",
         {"g/Data/KV.set"},
         "g/Data/KV.set",
         "warning: g/Data/KV.set: the game reads g/LocalConfig/KV.set instead"},
    }),
    [](const auto& info) { return info.param.name; });

// The file as a confirmed first run with nothing changed writes it.
Image DefaultImage(bool joystick) {
  const int32_t keys[4][8] = {{200, 208, 203, 205, 44, 45, 46, 47},
                              {23, 37, 36, 38, 30, 31, 32, 33},
                              {6, 20, 19, 21, 2, 3, 4, 5},
                              {199, 207, 211, 209, 8, 9, 10, 11}};
  const int32_t pad[8] = {0x10000, 0x20000, 0x40000, 0x80000, 0x1, 0x2, 0x4, 0x8};
  Image image = WithDefaultRankings(Image(4684, 0));
  for (int slot = 0; slot < 5; ++slot) {
    for (int controller = 0; controller < 4; ++controller) {
      for (int position = 0; position < 8; ++position) {
        const bool onPad = joystick && controller == 0;
        image = WithBinding(image, slot, controller, position, onPad ? 1 : 0,
                            onPad ? pad[position] : keys[controller][position]);
      }
    }
  }
  const std::string sound = ".\\Sound\\";
  std::copy(sound.begin(), sound.end(), &image[3576]);
  for (const auto& [offset, value] : std::vector<std::pair<size_t, int32_t>>{
           {3568, 1}, {3840, 1}, {3844, 2}, {3848, 2}, {3852, 1}}) {
    image = WithInt(image, offset, value);
  }
  return image;
}

class DefaultsTest : public KvsetFixture, public ::testing::TestWithParam<bool> {};

TEST_P(DefaultsTest, ReplacesTheFileWithTheFreshImageWhenForced) {
  WriteImage(PatternImage());
  std::vector<std::string> args = {"defaults", "KV.set", "--force"};
  if (GetParam()) args.push_back("--joystick");

  EXPECT_EQ(Kvset(args), kExitDone) << err_;

  EXPECT_EQ(ReadImage(), DefaultImage(GetParam()));
}

TEST_P(DefaultsTest, CreatesAMissingFile) {
  std::vector<std::string> args = {"defaults", "KV.set"};
  if (GetParam()) args.push_back("--joystick");

  EXPECT_EQ(Kvset(args), kExitDone) << err_;

  EXPECT_EQ(ReadImage(), DefaultImage(GetParam()));
}

TEST_P(DefaultsTest, WithGameAndNoFileWritesWhereConfigSaves) {
  folder_.MakeFolder("g/Data");
  std::vector<std::string> args = {"defaults", "--game", "g"};
  if (GetParam()) args.push_back("--joystick");

  EXPECT_EQ(Kvset(args), kExitDone) << err_;

  EXPECT_EQ(ReadImage("g/Data/KV.set"), DefaultImage(GetParam()));
  EXPECT_NE(err_.find("no KV.set yet; .\\Data\\KV.set is where Config.exe saves it"),
            std::string::npos)
      << err_;
}

INSTANTIATE_TEST_SUITE_P(Joystick, DefaultsTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Joystick1" : "NoJoystick"; });

// What the file is to the system: the change must leave all of it as it was.
struct IdentityCase {
  const char* name;
  std::function<void(const TemporaryFolder&)> arrange;  // with KV.set written
  std::function<void(const TemporaryFolder&)> check;
};

struct stat StatusOf(const std::filesystem::path& path) {
  struct stat status = {};
  EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
  return status;
}

class IdentityTest : public KvsetFixture, public ::testing::TestWithParam<IdentityCase> {};

TEST_P(IdentityTest, ChangeKeepsWhatTheFileIs) {
  const Image before = PatternImage();
  WriteImage(before);
  GetParam().arrange(folder_);

  EXPECT_EQ(Kvset({"set", "KV.set", "window=on"}), kExitDone) << err_;

  EXPECT_EQ(ReadImage(), WithInt(before, 3568, 0));
  GetParam().check(folder_);
  EXPECT_FALSE(HasTemporaryFile());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IdentityTest,
    ::testing::ValuesIn(std::vector<IdentityCase>{
        {"LinkIsFollowedAndStays",
         [](const TemporaryFolder& f) {
           f.MakeFolder("real");
           std::filesystem::rename(f.Path("KV.set"), f.Path("real/target.set"));
           std::filesystem::create_symlink("real/target.set", f.Path("KV.set"));
         },
         [](const TemporaryFolder& f) {
           EXPECT_TRUE(std::filesystem::is_symlink(f.Path("KV.set")));
           EXPECT_EQ(std::filesystem::read_symlink(f.Path("KV.set")), "real/target.set");
         }},
        {"Mode0600IsKept", [](const TemporaryFolder& f) { chmod(f.Path("KV.set").c_str(), 0600); },
         [](const TemporaryFolder& f) {
           EXPECT_EQ(StatusOf(f.Path("KV.set")).st_mode & 07777, 0600u);
         }},
        {"Mode0640IsKept", [](const TemporaryFolder& f) { chmod(f.Path("KV.set").c_str(), 0640); },
         [](const TemporaryFolder& f) {
           EXPECT_EQ(StatusOf(f.Path("KV.set")).st_mode & 07777, 0640u);
         }},
        {"OwnerIsKept",
         [](const TemporaryFolder& f) {
           if (geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
           ASSERT_EQ(chown(f.Path("KV.set").c_str(), 4321, 4322), 0);
         },
         [](const TemporaryFolder& f) {
           EXPECT_EQ(StatusOf(f.Path("KV.set")).st_uid, 4321u);
           EXPECT_EQ(StatusOf(f.Path("KV.set")).st_gid, 4322u);
         }},
    }),
    [](const auto& info) { return info.param.name; });

// On Linux a name is the system's bytes: no code page, no backslash separator.
class NameTest : public KvsetFixture, public ::testing::TestWithParam<const char*> {};

TEST_P(NameTest, TheFileOfThatExactNameIsChanged) {
  const Image before = PatternImage();
  const std::filesystem::path file = folder_.Path("") / std::string(GetParam());
  folder_.WriteFile("a/KV.set", std::string(before.begin(), before.end()));
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(before.data()),
             static_cast<std::streamsize>(before.size()));

  EXPECT_EQ(Kvset({"set", GetParam(), "window=on"}), kExitDone) << err_;

  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(Image(std::istreambuf_iterator<char>(in), {}), WithInt(before, 3568, 0));
  EXPECT_EQ(ReadImage("a/KV.set"), before);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path(""))) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"a", GetParam()}));
}

INSTANTIATE_TEST_SUITE_P(Names, NameTest,
                         ::testing::Values("a\\KV.set", u8"KV〜.set", "KV\xFF.set"),
                         [](const auto& info) { return "Name" + std::to_string(info.index); });

class KvsetTest : public KvsetFixture, public ::testing::Test {};

// Names this process would give its temporary files are taken by a link to
// another file and by a pipe: neither is written through, waited on or removed.
TEST_F(KvsetTest, TakenTemporaryNamesAreNeitherFollowedNorRemoved) {
  const Image before = PatternImage();
  WriteImage(before);
  folder_.WriteFile("victim", "mine");
  const std::string taken = "KV.set." + std::to_string(getpid()) + "-";
  std::filesystem::create_symlink("victim", folder_.Path(taken + "0.tmp"));
  ASSERT_EQ(mkfifo(folder_.Path(taken + "1.tmp").c_str(), 0600), 0);

  EXPECT_EQ(Kvset({"set", "KV.set", "window=on"}), kExitDone) << err_;

  EXPECT_EQ(ReadImage(), WithInt(before, 3568, 0));
  EXPECT_EQ(folder_.ReadFile("victim"), "mine");
  EXPECT_TRUE(std::filesystem::is_symlink(folder_.Path(taken + "0.tmp")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder_.Path(taken + "1.tmp")));
}

// Writers in processes of their own change one KV.set at the same time, each
// its own bindings; a reader polls the file meanwhile.
constexpr int kWriters = 4;
constexpr int kRounds = 40;  // 4 x 40 = 5 slots x 4 controllers x 8 positions
constexpr auto kRaceLimit = std::chrono::seconds(20);
const char* const kPositions[] = {"UP", "DOWN", "LEFT", "RIGHT", "B1", "B2", "B3", "B4"};

std::vector<std::string> RaceChange(const std::string& file, int writer, int round) {
  return {
      "bind",
      file,
      "--slot",
      std::to_string(round / 8),
      "--controller",
      std::to_string(writer + 1),
      std::string(kPositions[round % 8]) + "=key:" + std::to_string(1 + writer * kRounds + round)};
}

// Exits 0 only when it saw KV.set whole every time, until `stop` closes.
[[noreturn]] void PollSizes(int stop) {
  int polls = 0;
  for (;; ++polls) {
    struct stat status;
    if (stat("KV.set", &status) != 0 || status.st_size != 4684) _exit(1);
    pollfd done = {stop, POLLIN, 0};
    if (poll(&done, 1, 0) > 0) _exit(polls > 0 ? 0 : 1);
  }
}

TEST_F(KvsetTest, ConcurrentWritersAllLandAndReadersSeeOnlyWholeFiles) {
  const Image before = PatternImage();
  WriteImage(before);
  WriteImage(before, "expected.set");
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int round = 0; round < kRounds; ++round) {
      ASSERT_EQ(Kvset(RaceChange("expected.set", writer, round)), kExitDone) << err_;
    }
  }
  int stop[2];
  ASSERT_EQ(pipe(stop), 0);
  const pid_t reader = fork();
  if (reader == 0) {
    close(stop[1]);
    PollSizes(stop[0]);
  }
  close(stop[0]);
  std::vector<pid_t> writers;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t pid = fork();
    if (pid == 0) {
      PosixFileSystem files(PathStyle::kNative);
      std::ostringstream out;
      std::ostringstream err;
      int failures = 0;
      for (int round = 0; round < kRounds; ++round) {
        failures += RunKvset(
                        RaceChange("KV.set", writer, round), {files, files},
                        [] { return std::string(); }, out, err) != kExitDone;
      }
      _exit(failures);
    }
    writers.push_back(pid);
  }

  const auto deadline = std::chrono::steady_clock::now() + kRaceLimit;
  for (const pid_t pid : writers) {
    int status = -1;
    while (waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (std::chrono::steady_clock::now() >= deadline) kill(pid, SIGKILL);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed or hung";
  }
  close(stop[1]);
  int readerStatus = -1;
  waitpid(reader, &readerStatus, 0);

  EXPECT_TRUE(WIFEXITED(readerStatus) && WEXITSTATUS(readerStatus) == 0)
      << "the reader saw KV.set missing or not 4684 bytes";
  EXPECT_EQ(ReadImage(), ReadImage("expected.set"));
  EXPECT_NE(ReadImage(), before);
  EXPECT_FALSE(HasTemporaryFile());
}

}  // namespace
}  // namespace cfg
