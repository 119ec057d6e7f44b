// What a file is to the system, and other processes at work on it: a change
// keeps the one and lands whole beside the other.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

const Image kWindowOn = WithInt(PatternImage(), 3568, 0);

class KvsetTest : public KvsetFixture, public ::testing::Test {};

TEST_F(KvsetTest, LinkedFileIsChangedInItsFolderWithItsModeAndOwner) {
  WriteFile("real/target.set", PatternImage());
  fs::create_symlink("real/target.set", "KV.set");
  ASSERT_EQ(chmod("real/target.set", 0640), 0);
  ASSERT_EQ(chown("real/target.set", 4321, 4322), 0) << "run as root to give a file away";

  EXPECT_EQ(Kvset("set KV.set window=on"), kExitDone) << err_;

  EXPECT_EQ(fs::read_symlink("KV.set"), "real/target.set");
  EXPECT_TRUE(ReadFile("real/target.set") == kWindowOn);
  struct stat status = {};
  ASSERT_EQ(stat("real/target.set", &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(status.st_uid, 4321u);
  EXPECT_EQ(status.st_gid, 4322u);
  EXPECT_EQ(Files(), (std::set<std::string>{"KV.set", "real/target.set"}));
}

// Names this process would give its temporary files are taken by a link to
// another file and by a pipe: neither is written through, waited on or removed.
TEST_F(KvsetTest, TakenTemporaryNamesAreNeitherFollowedNorRemoved) {
  WriteFile("KV.set", PatternImage());
  WriteFile("victim", "mine");
  const std::string taken = "KV.set." + std::to_string(getpid()) + "-";
  fs::create_symlink("victim", taken + "0.tmp");
  ASSERT_EQ(mkfifo((taken + "1.tmp").c_str(), 0600), 0);
  const std::set<std::string> names = Files();

  EXPECT_EQ(Kvset("set KV.set window=on"), kExitDone) << err_;

  EXPECT_TRUE(ReadFile("KV.set") == kWindowOn);
  EXPECT_EQ(ReadFile("victim"), "mine");
  EXPECT_TRUE(fs::is_symlink(taken + "0.tmp"));
  EXPECT_TRUE(fs::is_fifo(taken + "1.tmp"));
  EXPECT_EQ(Files(), names);
}

// Reads that give nothing, as from a disk that went away.
class ReadsNothing : public PosixFileSystem {
 public:
  ReadsNothing() : PosixFileSystem(PathStyle::kNative) {}
  uint32_t FileRead(Handle, void*, uint32_t) override { return 0; }
};

// A change to a file not read whole would write defaults over the bytes never read.
TEST_F(KvsetTest, ChangeOfAFileNotReadWholeIsRefused) {
  WriteFile("KV.set", PatternImage());
  ReadsNothing files;
  std::ostringstream out;
  std::ostringstream err;

  EXPECT_EQ(RunKvset(
                {"set", "KV.set", "window=on"}, {files, files}, [] { return ""; }, out, err),
            kExitError);

  EXPECT_EQ(err.str(), "kvset: KV.set: cannot read the whole file\n");
  EXPECT_TRUE(ReadFile("KV.set") == PatternImage());
}

// A sparse file 4 GiB longer than a record, which a 32-bit size would take for one.
TEST_F(KvsetTest, FileOf4GiBMoreThanARecordIsReportedAndRefused) {
  constexpr uint64_t kSize = (uint64_t{1} << 32) + 4684;
  WriteFile("KV.set", PatternImage());
  ASSERT_EQ(truncate("KV.set", kSize), 0);

  EXPECT_EQ(Kvset("check KV.set"), kExitFindings);
  EXPECT_NE(out_.find("KV.set: size 4294971980 bytes, not 4684\n"), std::string::npos) << out_;
  EXPECT_EQ(Kvset("bind KV.set UP=z"), kExitError);
  EXPECT_EQ(err_, "kvset: KV.set: the file is 4294971980 bytes, not 4684; nothing changed\n");
  EXPECT_EQ(fs::file_size("KV.set"), kSize);
}

// Four writers in processes of their own change one KV.set at the same time,
// 40 bindings each (4 x 40 = 5 slots x 4 controllers x 8 positions); a reader
// polls the file meanwhile.
std::string RaceChange(const std::string& file, int writer, int round) {
  const char* const positions[] = {"UP", "DOWN", "LEFT", "RIGHT", "B1", "B2", "B3", "B4"};
  return "bind " + file + " --slot " + std::to_string(round / 8) + " --controller " +
         std::to_string(writer + 1) + " " + positions[round % 8] +
         "=key:" + std::to_string(1 + writer * 40 + round);
}

// Exits 0 only when it saw KV.set whole every time, until `stop` closes.
[[noreturn]] void PollSizes(int stop) {
  for (int polls = 0;; ++polls) {
    struct stat status;
    if (stat("KV.set", &status) != 0 || status.st_size != 4684) _exit(1);
    pollfd done = {stop, POLLIN, 0};
    if (poll(&done, 1, 0) > 0) _exit(polls > 0 ? 0 : 1);
  }
}

TEST_F(KvsetTest, ConcurrentWritersAllLandAndReadersSeeOnlyWholeFiles) {
  WriteFile("KV.set", PatternImage());
  WriteFile("expected.set", PatternImage());
  for (int writer = 0; writer < 4; ++writer) {
    for (int round = 0; round < 40; ++round) {
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
  std::vector<pid_t> writers;
  for (int writer = 0; writer < 4; ++writer) {
    writers.push_back(fork());
    if (writers.back() != 0) continue;
    int failures = 0;
    for (int round = 0; round < 40; ++round) {
      failures += Kvset(RaceChange("KV.set", writer, round)) != kExitDone;
    }
    _exit(failures);
  }

  for (const pid_t pid : writers) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed";
  }
  close(stop[1]);
  int readerStatus = -1;
  waitpid(reader, &readerStatus, 0);

  EXPECT_TRUE(WIFEXITED(readerStatus) && WEXITSTATUS(readerStatus) == 0)
      << "the reader saw KV.set missing or not 4684 bytes";
  EXPECT_TRUE(ReadFile("KV.set") == ReadFile("expected.set"));
  EXPECT_FALSE(ReadFile("KV.set") == PatternImage());
  EXPECT_EQ(Files(), (std::set<std::string>{"KV.set", "expected.set"}));
}

}  // namespace
}  // namespace cfg
