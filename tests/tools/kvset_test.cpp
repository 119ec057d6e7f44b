// kvset run as a user runs it in a fresh working folder: a command writes the bytes asked
// for into its one file, keeps every other file, and on a failure changes nothing and says why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "config_version.h"
#include "settings/byte_order.h"
#include "settings/file_system_posix.h"
#include "tools/kvset/kvset.h"

namespace cfg {
namespace {

namespace fs = std::filesystem;
using Image = std::string;  // the bytes of a file
using Json = nlohmann::json;

// Record offset of a binding's source; its code follows 4 bytes on, its handler 8.
constexpr size_t BindingAt(int slot, int controller, int position) {
  return 324 + 704 * static_cast<size_t>(slot) + 96 * static_cast<size_t>(controller) +
         12 * static_cast<size_t>(position);
}

Image WithInt(Image image, size_t offset, int32_t value) {
  uint8_t bytes[4];
  StoreLeInt32(bytes, value);
  return image.replace(offset, 4, reinterpret_cast<const char*>(bytes), 4);
}

Image WithBinding(const Image& image, int slot, int controller, int position, int32_t source,
                  int32_t code) {
  const size_t at = BindingAt(slot, controller, position);
  return WithInt(WithInt(image, at, source), at + 4, code);
}

// Every byte unlike its neighbours and not zero (handler words included); slot 2 current.
Image PatternImage() {
  Image image(4684, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 % 251 + 1);
  return WithInt(image, 0, 2);
}

Image ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& name, const Image& bytes) {
  if (fs::path(name).has_parent_path()) fs::create_directories(fs::path(name).parent_path());
  std::ofstream(name, std::ios::binary) << bytes;
}

// Written by the independent model of the file layout (tests/e2e/kvset_model.py).
Image GoldenFile(const std::string& name) {
  return ReadFile(std::string(GOLDEN_DIR) + "/" + name);
}

class KvsetTest : public ::testing::Test {
 protected:
  KvsetTest() {
    EXPECT_NE(mkdtemp(root_.data()), nullptr);
    fs::current_path(root_);
  }
  ~KvsetTest() override {
    fs::current_path(saved_);
    fs::remove_all(root_);
  }

  // The words of the command line are split at spaces.
  int Kvset(const std::string& line) {
    std::istringstream words(line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunKvset(
        args, {*named_, *gameFolder_}, [this] { return in_; }, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  // All but folders: a temporary file left behind or a file written astray shows here.
  static std::set<std::string> Files() {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
      if (!entry.is_directory()) names.insert(entry.path().lexically_relative("."));
    }
    return names;
  }

  static auto OpenHandles() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  }

  const fs::path saved_ = fs::current_path();
  std::string root_ = "/tmp/kvset-test-XXXXXX";
  // As the Linux kvset has them: names are the system's bytes, no code page, no "\\".
  PosixFileSystem files_{PathStyle::kNative};
  FileSystem* named_ = &files_;
  const std::unique_ptr<GameFolder> gameFolder_ = PlatformGameFolder(files_);
  std::string in_;  // standard input
  std::string out_;
  std::string err_;
};

using Edit = std::function<Image(Image)>;

Edit Ints(std::vector<std::pair<size_t, int32_t>> values) {
  return [values](Image image) {
    for (const auto& [offset, value] : values) image = WithInt(image, offset, value);
    return image;
  };
}

const Edit kWindowOn = Ints({{3568, 0}});

// Bindings of one controller in one slot: position, source, code.
Edit Binds(int slot, int controller, std::vector<std::array<int32_t, 3>> bindings) {
  return [=](Image image) {
    for (const auto& [at, source, code] : bindings) {
      image = WithBinding(image, slot, controller, at, source, code);
    }
    return image;
  };
}

// Slot `from`'s key map over slot `to`'s.
Edit CopyKeyMap(int from, int to) {
  return [=](Image i) {
    return i.replace(BindingAt(to, 0, 0), 384, i.substr(BindingAt(from, 0, 0), 384));
  };
}

// The golden file's bytes from `offset` on, over the file's own.
Edit Golden(const std::string& name, size_t offset = 0) {
  return [=](Image image) { return image.replace(offset, -1, GoldenFile(name).substr(offset)); };
}

// A whole record of a file's bytes, what it lacks from a fresh file.
const Edit kRepaired = [](Image image) {
  return image.size() >= 4684 ? image.substr(0, 4684)
                              : image + GoldenFile("defaults.set").substr(image.size());
};

struct RunCase {
  const char* name;
  std::string line;  // the command line
  int status;
  std::string message;       // a part of the output
  std::string changed = "";  // the one file written
  Edit after = nullptr;      // its bytes, from those before
  bool whole = false;        // the message is all that was written
};

class RunTest : public KvsetTest, public ::testing::WithParamInterface<RunCase> {
 protected:
  void SetUp() override {
    for (const char* name : {"KV.set",
                             "other.set",
                             "readonly.set",
                             "g/Data/KV.set",
                             "h/Data/KV.set",
                             "h/LocalConfig/KV.set",
                             "k/Data/KV.set",
                             "k/d/Data/KV.set",
                             "m/LocalConfig/KV.set",
                             "n/Data/KV.set",
                             "p/data/kv.set",
                             "q/Data/KV.set",
                             "q/localconfig/kv.set",
                             "r/d/data/KV.set",
                             "u/Data/KV.set",
                             "a/KV.set",
                             "a\\KV.set",
                             u8"KV〜.set",
                             u8"KV～.set",
                             "KV\xFF.set"}) {
      images_[name] = PatternImage();
    }
    images_["slot5.set"] = WithInt(PatternImage(), 0, 5);
    images_["short.set"] = PatternImage().substr(1);
    images_["tiny.set"] = WithInt(Image(4, 0), 0, 4);
    images_["empty.set"] = "";
    images_["long.set"] = PatternImage() + "xyz";
    images_["clean.set"] = GoldenFile("defaults.set");
    images_["real/target.set"] = PatternImage();
    images_["victim"] = "mine";
    images_["k/LocalConfig/LocalConfig.Txt"] = "// moved\r\nDataPath d\r\n";
    images_["m/LocalConfig/LocalConfig.Txt"] = "DataPath d\r\n";
    images_["r/localconfig/localconfig.txt"] = "DataPath D\r\n";
    images_["u/LocalConfig/LocalConfig.Txt"] = "DataPath d\\..\r\n";
    images_["n/LocalConfig/LocalConfig.Txt"] = "\n";
    images_["theirs.set"] = PatternImage();
    // Marked twice, as by an editor that adds its mark to a marked text.
    images_["map.txt"] = u8"\uFEFF\uFEFF# mine\r\n\r\n[controller 4]\r\n  b4=pad1:b2  \r\nUP=←";
    images_["bad.txt"] = "[controller 1]\nUP=z\nB1=zz\n";
    images_["nohead.txt"] = "# x\nUP=z\n";
    images_["c5.txt"] = "[controller 4]\n[controller 5]\n";
    images_["twice.txt"] = "[controller 2]\nUP=z\nB1=x\nUP=c\n";
    images_["odd.txt"] = "\xFF\xFE[";
    for (const auto& [name, bytes] : images_) WriteFile(name, bytes);
    chmod("readonly.set", 0444);
    chmod("theirs.set", 0444);
    chown("theirs.set", 4321, 4322);  // as root, who may write it but for its mode
    // A pipe would block a plain open until a writer came.
    mkfifo("pipe.set", 0600);
    // Temporary names of this process taken by a link and a pipe: not to follow or remove.
    fs::create_symlink("victim", taken_ + "0.tmp");
    mkfifo((taken_ + "1.tmp").c_str(), 0600);
    // A link into another folder, to a file of mode 0640 owned by another user.
    fs::create_symlink("real/target.set", "link.set");
    chmod("real/target.set", 0640);
    chown("real/target.set", 4321, 4322);  // as root
    // A sparse file 4 GiB longer than a record, which a 32-bit size would take for one.
    WriteFile("huge.set", PatternImage());
    truncate("huge.set", (uint64_t{1} << 32) + 4684);
    for (const char* folder : {"e/Data", "folder", "m/d", "u/d", u8"x\U0001F600/data"}) {
      fs::create_directories(folder);
    }
    for (const char* absent : {"e/Data/KV.set", "new.set", "none.set", u8"x\U0001F600/data/KV.set"})
      images_[absent] = "";
    in_ = "\xFF\xFE";  // UTF-16, as a Windows shell pipes it
    for (const char c : std::string("[controller 1]\nUP=z")) in_ += {c, '\0'};
  }
  const std::string taken_ = "KV.set." + std::to_string(getpid()) + "-";
  std::map<std::string, Image> images_;
};

TEST_P(RunTest, WritesOnlyTheFileAskedFor) {
  const RunCase& row = GetParam();
  const auto handles = OpenHandles();
  std::set<std::string> names = Files();
  if (!row.changed.empty()) names.insert(row.changed);

  alarm(5);  // ends the test program should a command hang
  EXPECT_EQ(Kvset(row.line), row.status) << err_;
  alarm(0);

  EXPECT_NE((out_ + err_).find(row.message), std::string::npos) << out_ << err_;
  if (row.whole) EXPECT_EQ(out_ + err_, row.message);
  if (row.status == kExitError) {
    EXPECT_EQ(err_.rfind("kvset: "), 0u) << err_;  // one message, and only one
  } else if (row.message.empty()) {
    EXPECT_EQ(err_, "");
  }
  for (const auto& [name, bytes] : images_) {
    EXPECT_TRUE(ReadFile(name) == (name == row.changed ? row.after(bytes) : bytes)) << name;
  }
  EXPECT_EQ(Files(), names);
  EXPECT_EQ(OpenHandles(), handles) << "a file left open";
  EXPECT_TRUE(fs::is_fifo("pipe.set") && fs::is_fifo(taken_ + "1.tmp"));
  EXPECT_TRUE(fs::is_symlink("link.set") && fs::is_symlink(taken_ + "0.tmp"));
  EXPECT_EQ(fs::file_size("huge.set"), (uint64_t{1} << 32) + 4684);
  struct stat status = {};
  ASSERT_EQ(stat("real/target.set", &status), 0);
  EXPECT_EQ(std::make_tuple(status.st_mode & 07777, status.st_uid, status.st_gid),
            std::make_tuple(0640u, 4321u, 4322u));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RunTest,
    ::testing::ValuesIn(std::vector<RunCase>{
        {"SetAll", "set KV.set slot=0 keep320x240=on start640x480=off window=on", 0,
         u8"kvset: KV.set: current slot: 2 → 0\nkvset: KV.set: window mode: on (fullScreen "
         u8"-1785821312) → on (fullScreen 0)\nkvset: KV.set: start at 640x480: on (start640x480 "
         u8"1565937480) → off (start640x480 0)\nkvset: KV.set: keep 320x240: on (keep320x240 "
         u8"2037541732) → on (keep320x240 1)\n",
         "KV.set", Ints({{0, 0}, {3564, 1}, {3560, 0}, {3568, 0}}), true},
        {"SetAllOther", "set KV.set start640x480=on keep320x240=off window=off slot=4", 0, u8" → ",
         "KV.set", Ints({{0, 4}, {3564, 0}, {3560, 1}, {3568, 1}})},
        {"SetSlot5", "set KV.set window=on slot=5", 2, "KV.set: slot=5: expected a slot 0-4"},
        {"SetSlot10", "set KV.set slot=10", 2, "slot=10: expected a slot 0-4"},
        {"SetSlotAsEveryNumber", "set KV.set slot=0x3", 0, u8"current slot: 2 → 3\n", "KV.set",
         Ints({{0, 3}})},
        {"SetMisspelt", "set KV.set window=yes", 2, "KV.set: window=yes: expected on or off"},
        {"SetTwice", "set KV.set start640x480=on start640x480=on", 2, "=on: given twice"},
        {"SetUnknown", "set KV.set sound=on", 2, "KV.set: sound=on: expected window="},
        {"SetNothing", "set KV.set", 2, "kvset: KV.set: CHANGES"},
        {"BindCurrentSlot", u8"bind KV.set UP=↓", 0, u8"1 UP: source1650152525:0x7E777069 → ↓\n",
         "KV.set", Binds(2, 0, {{0, 0, 208}})},
        {"BindSlot4Pad4", "bind KV.set --slot 4 --controller 4 B4=pad2:B3", 0, u8" → ", "KV.set",
         Binds(4, 3, {{7, 2, 4}})},
        {"BindSeveralSlot0", "bind KV.set --slot=0 --controller 2 left=none DOWN=key:300 B2=\\", 0,
         u8" → ", "KV.set", Binds(0, 1, {{2, 0, 0}, {1, 0, 300}, {5, 0, 125}})},
        {"BindSlotOverFile", "bind slot5.set --slot 1 UP=z", 0, u8" → ", "slot5.set",
         Binds(1, 0, {{0, 0, 44}})},
        {"BindFileSlot5", "bind slot5.set UP=z", 2, "slot5.set: the current slot is 5, not 0-4"},
        {"BindSlot5", "bind KV.set --slot 5 UP=z", 2, "--slot takes a number from 0 to 4\n"},
        {"BindSlotMinus1", "bind KV.set --slot -1 UP=z", 2, "--slot takes a number from 0 to 4"},
        {"BindSlotInWords", "bind --slot two KV.set UP=z", 2, "--slot takes a number"},
        {"BindSlotTrailing", "bind KV.set --slot 1x UP=z", 2, "--slot takes a number"},
        {"BindController5", "bind KV.set --controller 5 UP=z", 2, "from 1 to 4"},
        {"BindUnknownKey", "bind KV.set UP=z B1=zz", 2, "KV.set: B1=zz: no such input"},
        {"BindMisspelt", "bind KV.set B1=hmoe", 2, "(did you mean Home?); 'kvset keys' lists"},
        {"BindFarFromEveryName", "bind KV.set B1=qqqqqq", 2,
         "B1=qqqqqq: no such input (a key name, key:CODE, padN:NAME, padN:0xMASK or none); 'kvset "
         "keys' lists them\n"},
        {"BindMisspeltNone", "bind KV.set B1=nnoe", 2, "(did you mean none?)"},
        {"BindMisspeltArrow", "bind KV.set B1=rihgt", 2, "(did you mean right?)"},
        {"BindMisspeltPad", "bind KV.set B1=pda4:up", 2, "(did you mean pad4:UP?)"},
        {"BindNotCp932", u8"bind KV.set UP=\U0001F600", 2, "no such input"},
        {"BindPosition", "bind KV.set B5=z", 2, "KV.set: B5=z: the position is not one of"},
        {"BindNoEquals", "bind KV.set UPz", 2, "KV.set: UPz: expected POSITION=INPUT"},
        {"BindTwice", "bind KV.set --controller 3 UP=z up=x", 2, "controller 3 UP is given twice"},
        {"BindNoFolder", "bind no/KV.set UP=z", 2, "cannot open the file: there is no such"},
        {"BindMissing", "bind none.set UP=z", 2, "none.set: cannot open the file: there is no"},
        {"BindBoundTwice", "bind clean.set UP=z", 0,
         "kvset: warning: clean.set: slot 0, controller 1 UP and B1: both bound to z\n",
         "clean.set", Binds(0, 0, {{0, 0, 44}})},
        {"BindDryRun", "bind KV.set --dry-run UP=z", 0,
         u8"→ z\nkvset: KV.set: --dry-run: the file was not written\n"},
        {"CopySlotDryRun", "copy-slot KV.set --dry-run 4 0", 0, "--dry-run: the file was not"},
        {"CopySlotFrom4", "copy-slot KV.set 4 0", 0, u8" → ", "KV.set", CopyKeyMap(4, 0)},
        {"CopySlotTo4", "copy-slot KV.set 0 4", 0, u8" → ", "KV.set", CopyKeyMap(0, 4)},
        {"CopySlotWithoutTo", "copy-slot KV.set 0", 2, "kvset: KV.set: TO is required\n"},
        {"CopySlotWithoutSlots", "copy-slot KV.set", 2, "kvset: KV.set: FROM is required\n"},
        {"CopyToSlot5", "copy-slot KV.set 0 5", 2, "TO takes a number from 0 to 4"},
        {"CopyFromSlot5", "copy-slot KV.set 5 0", 2, "FROM takes a number from 0 to 4"},
        {"Import", "import KV.set --slot 1 map.txt", 0, u8" → ", "KV.set",
         Binds(1, 3, {{7, 1, 2}, {0, 0, 203}})},
        {"ImportStandardInput", "import KV.set -", 0, u8" → ", "KV.set", Binds(2, 0, {{0, 0, 44}})},
        {"ImportBadLine", "import KV.set bad.txt", 2, "kvset: bad.txt: line 3: B1=zz: no such"},
        {"ImportNoHeader", "import KV.set nohead.txt", 2, "line 2: a binding before the first"},
        {"ImportController5", "import KV.set c5.txt", 2, "line 2: [controller 5]: expected [contr"},
        {"ImportTwice", "import KV.set twice.txt", 2, "twice.txt: controller 2 UP is given twice"},
        {"ImportMissing", "import KV.set none.txt", 2, "none.txt: cannot open the file"},
        {"ImportOddUtf16", "import KV.set odd.txt", 2, "odd.txt: the text is not UTF-8"},
        {"ExportOverItsFile", "export tiny.set -o ./tiny.set", 2,
         "./tiny.set: the file the export reads; give --force"},
        {"ExportOverAKvSet", "export tiny.set -o other.set", 2,
         "other.set: a KV.set (4684 bytes); give --force"},
        {"ExportStandardOutput", "export KV.set -o -", 0, "[controller 1]\nUP="},
        {"ShowStandardInput", "show -", 0, "file: standard input (40 bytes, not 4684"},
        {"ShowDefaultsFromStandardInput", "show -", 0,
         u8"slot 0:\n  controller 1: UP=↑ DOWN=↓ LEFT=← RIGHT=→ B1=z B2=x B3=c B4=v\n"},
        {"CheckStandardInput", "check -", 1, "standard input: size 40 bytes, not 4684 ("},
        {"SetStandardInput", "set - window=on", 2, "kvset: -: standard input cannot be changed"},
        {"SetGameWithoutFile", "set --game e window=on", 2,
         "--game e: no KV.set yet; make one with 'kvset defaults --game e' (it goes to "
         "e/Data/KV.set)"},
        {"ExportNoFolder", "export KV.set -o no/map.txt", 2, "no/map.txt: cannot write the file ("},
        {"CheckClean", "check clean.set", 0, "clean.set: no findings\n"},
        {"CheckSlot5", "check slot5.set", 1, "slot5.set: current slot 5 is not 0-4 (the"},
        {"ShowShortFile", "show tiny.set", 0, "(4 bytes, not 4684; what lies past its end"},
        {"ShowDefaultsPastTheEnd", "show tiny.set", 0,
         u8"slot 4 (current):\n  controller 1: UP=↑ DOWN=↓ LEFT=← RIGHT=→ B1=z B2=x B3=c B4=v\n"},
        {"RepairTiny", "repair tiny.set", 0, "tiny.set: 4 bytes made 4684: all kept, and the 4680",
         "tiny.set", kRepaired},
        {"RepairEmpty", "repair empty.set", 0, "empty.set: 0 bytes made 4684", "empty.set",
         kRepaired},
        {"RepairLong", "repair long.set", 0, "long.set: 4687 bytes made 4684: the first 4684 kept",
         "long.set", kRepaired},
        {"RepairWhole", "repair KV.set", 0, "KV.set: already 4684 bytes; nothing to repair"},
        {"ResetRankings", "reset-rankings KV.set", 0, "kvset: KV.set: rankings: reset\n", "KV.set",
         Golden("defaults.set", 3884), true},
        {"DefaultsOverAFile", "defaults KV.set", 2, "KV.set: the file exists; give --force"},
        {"DefaultsForced", "defaults KV.set --force", 0, "", "KV.set", Golden("defaults.set")},
        {"DefaultsJoystick", "defaults new.set --joystick", 0, "", "new.set",
         Golden("defaults-joystick.set")},
        {"DefaultsNoFolder", "defaults no/KV.set", 2, "file (its folder is missing); it was not"},
        {"DefaultsGame", "defaults --game e", 0,
         "kvset: --game e: no KV.set yet; e/Data/KV.set is where Config.exe saves it\n",
         "e/Data/KV.set", Golden("defaults.set"), true},
        {"DryRunGameWithoutFile", "set --game e window=on --dry-run", 2,
         "kvset: --game e: no KV.set yet; make one with 'kvset defaults --game e'"},
        // Only the game's own names need code page 932; each is matched ignoring case.
        {"DefaultsGameNotCp932", u8"defaults --game x\U0001F600", 0, u8"x\U0001F600/data/KV.set is",
         u8"x\U0001F600/data/KV.set", Golden("defaults.set")},
        {"GameLocalConfig", "set --game h window=on", 0,
         "--game h: the game's file is h/LocalConfig/KV.set\n", "h/LocalConfig/KV.set", kWindowOn},
        {"GameData", "set --game=g window=on", 0, "file is g/Data/KV.set", "g/Data/KV.set",
         kWindowOn},
        {"GameDataLowerCase", "set --game p window=on", 0, "file is p/data/kv.set", "p/data/kv.set",
         kWindowOn},
        {"GameLocalConfigLowerCase", "set --game q window=on", 0, "q/localconfig/kv.set",
         "q/localconfig/kv.set", kWindowOn},
        {"GameDataPath", "set --game k window=on", 0, "file is k/d/Data/KV.set", "k/d/Data/KV.set",
         kWindowOn},
        {"GameDataPathLowerCase", "set --game r window=on", 0, "file is r/d/data/KV.set",
         "r/d/data/KV.set", kWindowOn},
        {"GameDataPathThereAndBack", "set --game u window=on", 0, "file is u/Data/KV.set\n",
         "u/Data/KV.set", kWindowOn},
        // The file beside LocalConfig.Txt, not the one in DataPath's folder.
        {"GameDataPathLocalConfig", "set --game m window=on", 0, "file is m/LocalConfig/KV.set",
         "m/LocalConfig/KV.set", kWindowOn},
        {"CheckGameOneByteLocalConfig", "check --game n", 1,
         "n/LocalConfig/LocalConfig.Txt: line 1: the line ends in LF alone"},
        {"GameMissing", "show --game none", 2, "--game none: cannot enter the folder"},
        {"ShadowedDataFile", "set h/Data/KV.set window=on", 0,
         "h/Data/KV.set: the game reads h/LocalConfig/KV.set instead", "h/Data/KV.set", kWindowOn},
        {"ShadowedLowerCase", "set q/Data/KV.set window=on", 0,
         "the game reads q/localconfig/kv.set instead", "q/Data/KV.set", kWindowOn},
        {"LinkedFile", "set link.set window=on", 0, u8" → ", "real/target.set", kWindowOn},
        {"CheckHugeFile", "check huge.set", 1,
         "huge.set: size 4294971980 bytes, not 4684 ('kvset repair' makes"},
        {"BindHugeFile", "bind huge.set UP=z", 2, "file is 4294971980 bytes, not 4684; nothing"},
        {"ShortFile", "set short.set window=on", 2, "the file is 4683 bytes, not 4684; nothing"},
        {"ReadOnly", "set readonly.set window=on", 2,
         "write the file: the file is read-only (fix: chmod u+w readonly.set); it was"},
        {"ReadOnlyOfAnother", "set theirs.set window=on", 2,
         "the file is read-only (fix: chmod u+w theirs.set)"},
        {"Folder", "show folder", 2, "folder: not a regular file"},
        {"NameWithBackslash", "set a\\KV.set window=on", 0, u8" → ", "a\\KV.set", kWindowOn},
        {"NameOfWaveDash", u8"set KV〜.set window=on", 0, u8" → ", u8"KV〜.set", kWindowOn},
        {"NameNotUtf8", "set KV\xFF.set window=on", 0, u8" → ", "KV\xFF.set", kWindowOn},
        {"PipeShow", "show pipe.set", 2, "kvset: pipe.set: not a regular file"},
        {"PipeSet", "set pipe.set slot=1", 2, "not a regular file"},
        {"PipeDefaults", "defaults pipe.set", 2, "not a regular file"},
        {"ShowMissing", "show none.set", 2, "cannot open the file: there is no such file"},
        {"OptionOfAnother", "show --slot 1 KV.set", 2, "show: --slot is not an option of show"},
        {"WordsTooMany", "show KV.set other.set x", 2, "show: other.set: one word more than show"},
        {"MisspeltCommand", "shwo", 2, "shwo: no such command (did you mean show?)"},
        {"NoCommand", "", 2, "kvset: give a command: show check keys set bind copy-slot export"},
        {"Help", "-h", 0, "Usage: kvset [OPTIONS] SUBCOMMAND"},
        {"Version", "--version", 0, std::string("kvset ") + CONFIG_VERSION_TEXT + "\n"},
    }),
    [](const auto& info) { return info.param.name; });

// A fresh file, spoilt; a pad input on two joysticks, a key on two controllers and
// cleared bindings are meant.
TEST_F(KvsetTest, CheckReportsOneLineAFindingAndExits1) {
  const std::array<int32_t, 5> spoilt[] = {
      {0, 0, 0, -1, 4},  {0, 0, 6, 0, 0}, {0, 0, 7, 0, 256}, {0, 1, 0, 0, 1},    {1, 2, 6, 5, 4},
      {1, 0, 0, 0, 0},   {1, 0, 1, 0, 0}, {1, 0, 4, 1, 1},   {1, 0, 5, 2, 1},    {2, 0, 7, 0, 300},
      {2, 1, 0, 0, 200}, {3, 0, 0, 1, 1}, {3, 0, 3, 1, 3},   {4, 0, 4, 4, 0x30}, {4, 3, 1, 0, 199}};
  Image file = WithInt(GoldenFile("defaults.set"), 0, -1);
  for (const auto& [slot, controller, position, source, code] : spoilt) {
    file = WithBinding(file, slot, controller, position, source, code);
  }
  WriteFile("KV.set", file);
  const std::string kNeverActs = " is not 0-4, so the input never acts";
  const std::vector<std::string> findings = {
      "current slot -1 is not 0-4 (the program falls back to slot 0)",
      "slot 0, controller 1 UP: source-1:0x4: source -1" + kNeverActs,
      "slot 0, controller 1 B4: key:256: the code has no name",
      "slot 0, controller 2 UP: key:1: the code has no name",
      "slot 1, controller 3 B3: source5:0x4: source 5" + kNeverActs,
      "slot 2, controller 1 B4: key:300: the code has no name",
      "slot 2, controller 1 B1 and B4: bound to z and key:300, which one input drives",
      "slot 3, controller 1 RIGHT: PAD1:0x3: the code has no name",
      "slot 3, controller 1 UP and RIGHT: bound to PAD1:B1 and PAD1:0x3, which one input drives",
      "slot 4, controller 1 B1: PAD4:0x30: the code has no name",
      "slot 4, controller 4 UP and DOWN: both bound to Home"};

  EXPECT_EQ(Kvset("check KV.set"), kExitFindings);
  std::string text;
  for (const std::string& finding : findings) text += "KV.set: " + finding + "\n";
  EXPECT_EQ(out_, text);
  EXPECT_EQ(Kvset("check --json KV.set"), kExitFindings);
  EXPECT_EQ(Json::parse(out_), Json({{"format", 1},
                                     {"file", "KV.set"},
                                     {"path", root_ + "/KV.set"},
                                     {"size", 4684},
                                     {"findings", findings}}));
  // A name from the root is its own path, not one under the current folder.
  for (const std::string& name : {root_ + "/KV.set", std::string("./KV.set")}) {
    EXPECT_EQ(Kvset("check --json " + name), kExitFindings);
    EXPECT_EQ(Json::parse(out_)["path"], root_ + "/KV.set");
  }
}

// Each thing in LocalConfig.Txt that hides what the player meant, by its line, with its fix.
TEST_F(KvsetTest, CheckGameReportsWhatLocalConfigHides) {
  WriteFile("lc/Data/KV.set", GoldenFile("defaults.set"));
  WriteFile("lc/LocalConfig/LocalConfig.Txt",
            "\r\nDataPath Z:\\game\r\nDataPath \\d\r\nDataPath /d\r\nDataPath \x85\x40\r\n"
            "DataPath \xB1\r\nDataPath Data\\KV.set\r\n// old DataPath e\r\nDataPath nowhere\n"
            "// moved\nDataPath d\n");
  fs::create_directory("lc/d");
  // Two findings of one line in the order found; a name no code page 932 reads is no folder;
  // a half-width kana, three bytes in UTF-8, is shown as itself; a file is no folder.
  const std::vector<std::string> findings = {"line 2: DataPath Z:\\game is a drive or root path",
                                             "line 3: DataPath \\d is a drive or root path",
                                             "line 4: DataPath /d is a drive or root path",
                                             "line 5: DataPath \x85\x40: no such folder",
                                             u8"line 6: DataPath ｱ: no such folder",
                                             "line 7: DataPath Data\\KV.set: no such folder",
                                             "line 8: DataPath stands after // on its line",
                                             "line 9: the line ends in LF alone",
                                             "line 9: DataPath nowhere: no such folder",
                                             "line 11: the game does not see this DataPath"};

  EXPECT_EQ(Kvset("check --game lc"), kExitFindings);

  std::istringstream lines(out_);
  std::string line;
  for (const std::string& finding : findings) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind("lc/LocalConfig/LocalConfig.Txt: " + finding, 0), 0u) << line;
    EXPECT_NE(line.find("(fix: "), std::string::npos) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
}

// Slot 3 current, window on, 640x480 on, keep 320x240 off; in it controller 2 has every kind.
Image CraftedImage() {
  Image image = WithInt(WithInt(WithInt(WithInt(PatternImage(), 0, 3), 3568, 7), 3560, 1), 3564, 0);
  const int32_t bindings[8][2] = {{0, 208},  {0, 300}, {0, 0},   {2, 0x4},
                                  {3, 0x30}, {7, 5},   {0, 125}, {4, 0x10000}};
  for (int position = 0; position < 8; ++position) {
    image = WithBinding(image, 3, 1, position, bindings[position][0], bindings[position][1]);
  }
  // Table 1's third entry (from 3884 + 200 + 2 * 20): head, value, then the three.
  const int32_t entry[5] = {-1, 77, 1, 2, 3};
  for (int k = 0; k < 5; ++k) image = WithInt(image, 4124 + 4 * k, entry[k]);
  return WithInt(image, BindingAt(3, 1, 0) + 8, -559038737);  // 0xDEADBEEF
}

// Text for people, JSON for scripts: the same fields, line for line.
TEST_F(KvsetTest, ShowWritesTheOptionsEveryBindingAndTheRankingsAsTextAndJson) {
  WriteFile("KV.set", CraftedImage());
  ASSERT_EQ(Kvset("show KV.set --json"), kExitDone);
  Json json = Json::parse(out_);
  EXPECT_EQ(out_.rfind("{\n  \"format\": 1,\n  \"file\"", 0), 0u);  // two spaces a level

  ASSERT_EQ(Kvset("show KV.set"), kExitDone);

  std::string text =
      "file: KV.set (4684 bytes)\ncurrent slot: 3\nwindow mode: on (fullScreen 7)\n"
      "start at 640x480: on (start640x480 1)\nkeep 320x240: off (keep320x240 0)\n";
  for (const Json& slot : json["slots"]) {
    text += "slot " + slot["slot"].dump() + (slot["current"] ? " (current):\n" : ":\n");
    for (const Json& controller : slot["controllers"]) {
      text += "  controller " + controller["controller"].dump() + ":";
      for (const Json& binding : controller["bindings"]) {
        text += " " + binding["position"].get<std::string>() + "=" +
                binding["input"].get<std::string>();
      }
      text += "\n";
    }
  }
  for (const Json& table : json["rankings"]) {
    text += "ranking table " + table["table"].dump() + ":\n";
    for (const Json& entry : table["entries"]) {
      const Json& triple = entry["triple"];
      text += std::string(entry["rank"] == 10 ? "  " : "   ") + entry["rank"].dump() + ". value " +
              entry["value"].dump() + ", head " + entry["head"].dump() + ", triple " +
              triple[0].dump() + " " + triple[1].dump() + " " + triple[2].dump() + "\n";
    }
  }
  EXPECT_EQ(out_, text);
  EXPECT_EQ(json["slots"][3]["controllers"][1]["bindings"][0],
            Json::parse(u8R"({"position": "UP", "input": "↓", "source": 0, "code": 208,
                              "handler": 3735928559})"));
  EXPECT_EQ(json["rankings"][1]["entries"][2],
            Json::parse(R"({"rank": 3, "head": -1, "value": 77, "triple": [1, 2, 3]})"));
  EXPECT_EQ(json["path"], root_ + "/KV.set");
  for (const char* field : {"slots", "rankings", "path"}) json.erase(field);
  EXPECT_EQ(json, Json::parse(R"({"format": 1, "file": "KV.set", "size": 4684,
      "currentSlot": 3, "windowMode": true, "start640x480": true, "keep320x240": false,
      "fields": {"fullScreen": 7, "start640x480": 1, "keep320x240": 0}})"));
}

// Export through the safe save, import over a copied slot: every source and code comes back.
TEST_F(KvsetTest, ImportOfAnExportRestoresEverySourceAndCode) {
  WriteFile("KV.set", CraftedImage());
  ASSERT_EQ(Kvset("export KV.set"), kExitDone);
  const std::string exported = out_;
  ASSERT_EQ(Kvset("export KV.set --slot 3 -o map.txt"), kExitDone) << err_;
  EXPECT_EQ(ReadFile("map.txt"), exported);
  WriteFile("copy.set", CraftedImage());
  ASSERT_EQ(Kvset("export KV.set --slot 3 -o copy.set --force"), kExitDone) << err_;
  EXPECT_EQ(ReadFile("copy.set"), exported);
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 1 + 4 * 9);  // each binding
  ASSERT_EQ(Kvset("copy-slot KV.set 0 3"), kExitDone);

  EXPECT_EQ(Kvset("import KV.set map.txt"), kExitDone) << err_;

  ASSERT_EQ(Kvset("export KV.set"), kExitDone);
  EXPECT_EQ(out_, exported);
}

// Run by another user: each refusal names its true cause (the file's mode is no cause here).
TEST_F(KvsetTest, RefusedSaveSaysWhy) {
  const std::pair<std::string, std::string> rows[] = {
      {"set locked/KV.set window=on",
       "you may not write in its folder locked, which belongs to root (fix: sudo chown 4321 "
       "locked)"},
      {"defaults open/KV.set --force",
       "the file belongs to root, as after a 'sudo kvset' (fix: sudo chown 4321 open/KV.set)"}};
  for (const char* name : {"locked/KV.set", "open/KV.set"}) WriteFile(name, PatternImage());
  chmod("locked/KV.set", 0666);
  chmod("open", 0777);
  chmod(".", 0755);  // for the other user to come in
  for (const auto& [line, cause] : rows) {
    const pid_t child = fork();
    if (child == 0) {
      _exit(setuid(4321) != 0 || Kvset(line) != kExitError ||
            err_.find(cause + "; it was not changed\n") == std::string::npos);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << line;
  }
  EXPECT_TRUE(ReadFile("locked/KV.set") == PatternImage() &&
              ReadFile("open/KV.set") == PatternImage());
}

// Reads that give nothing (a disk gone): a change would write defaults over the unread bytes.
TEST_F(KvsetTest, ChangeOfAFileNotReadWholeIsRefused) {
  struct ReadsNothing : PosixFileSystem {
    ReadsNothing() : PosixFileSystem(PathStyle::kNative) {}
    uint32_t FileRead(Handle, void*, uint32_t) override { return 0; }
  } files;
  WriteFile("KV.set", PatternImage());
  named_ = &files;

  EXPECT_EQ(Kvset("set KV.set window=on"), kExitError);

  EXPECT_EQ(err_, "kvset: KV.set: cannot read the whole file\n");
  EXPECT_TRUE(ReadFile("KV.set") == PatternImage());
}

// Four writer processes bind 40 inputs each (5 slots x 4 controllers x 8 positions) in one
// KV.set at once while a reader reads it: every change lands; the file is always whole.
TEST_F(KvsetTest, ConcurrentWritersAllLandAndReadersSeeOnlyWholeFiles) {
  const char* const positions[] = {"UP", "DOWN", "LEFT", "RIGHT", "B1", "B2", "B3", "B4"};
  WriteFile("KV.set", PatternImage());
  Image expected = PatternImage();
  for (int change = 0; change < 160; ++change) {
    expected = WithBinding(expected, change % 40 / 8, change / 40, change % 8, 0, change + 1);
  }
  std::vector<pid_t> children;
  for (int child = 0; child < 5; ++child) {
    children.push_back(fork());
    if (children.back() != 0) continue;
    alarm(30);
    if (child == 4) {  // the reader, until every change has landed
      for (Image file = ReadFile("KV.set"); file != expected; file = ReadFile("KV.set")) {
        if (file.size() != 4684) _exit(1);
      }
      _exit(0);
    }
    int failures = 0;
    for (int round = 0; round < 40; ++round) {
      failures += Kvset("bind KV.set --slot " + std::to_string(round / 8) + " --controller " +
                        std::to_string(child + 1) + " " + positions[round % 8] +
                        "=key:" + std::to_string(child * 40 + round + 1)) != kExitDone;
    }
    _exit(failures);
  }

  for (const pid_t pid : children) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer or the reader failed";
  }
  EXPECT_TRUE(ReadFile("KV.set") == expected);
  EXPECT_EQ(Files(), std::set<std::string>{"KV.set"});
}

}  // namespace
}  // namespace cfg
