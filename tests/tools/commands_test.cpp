// Every command on a folder of game files: the one file it is about gets
// exactly the bytes asked for, every other file stays as it was, and a failure
// changes nothing and says why.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <functional>
#include <map>

#include "config_version.h"
#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

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

struct RunCase {
  const char* name;
  std::string line;  // the command line
  int status;
  std::string message;       // a part of the output
  std::string changed = "";  // the one file written
  Edit after = nullptr;      // its bytes, from those before
};

class RunTest : public KvsetFixture, public ::testing::TestWithParam<RunCase> {
 protected:
  void SetUp() override {
    // On Linux a name is the system's bytes: no code page, no backslash separator.
    for (const char* name :
         {"KV.set", "other.set", "readonly.set", "g/Data/KV.set", "h/Data/KV.set",
          "h/LocalConfig/KV.set", "k/Data/KV.set", "k/d/Data/KV.set", "m/LocalConfig/KV.set",
          "a/KV.set", "a\\KV.set", u8"KV〜.set", u8"KV～.set", "KV\xFF.set"}) {
      images_[name] = PatternImage();
    }
    images_["slot5.set"] = WithInt(PatternImage(), 0, 5);
    images_["short.set"] = PatternImage().substr(1);
    images_["long.set"] = PatternImage() + "x";
    images_["k/LocalConfig/LocalConfig.Txt"] = "// moved\r\nDataPath d\r\n";
    images_["m/LocalConfig/LocalConfig.Txt"] = "DataPath d\r\n";
    // Marked twice, as by an editor that adds its mark to a marked text.
    images_["map.txt"] = u8"\uFEFF\uFEFF# mine\r\n\r\n[controller 4]\r\n  b4=pad1:b2  \r\nUP=←";
    images_["bad.txt"] = "[controller 1]\nUP=z\nB1=zz\n";
    images_["nohead.txt"] = "# x\nUP=z\n";
    images_["c5.txt"] = "[controller 4]\n[controller 5]\n";
    images_["twice.txt"] = "[controller 2]\nUP=z\nB1=x\nUP=c\n";
    images_["odd.txt"] = "\xFF\xFE[";
    for (const auto& [name, bytes] : images_) WriteFile(name, bytes);
    chmod("readonly.set", 0444);
    // A pipe would block a plain open until a writer came.
    mkfifo("pipe.set", 0600);
    for (const char* folder : {"e/Data", "folder", "m/d", u8"x\U0001F600"}) {
      fs::create_directories(folder);
    }
    for (const char* absent : {"e/Data/KV.set", "new.set", "none.set"}) images_[absent] = "";
    in_ = "\xFF\xFE";  // UTF-16, as a Windows shell pipes it
    for (const char c : std::string("[controller 1]\nUP=z")) in_ += {c, '\0'};
  }
  std::map<std::string, Image> images_;
};

TEST_P(RunTest, WritesOnlyTheFileAskedFor) {
  const RunCase& row = GetParam();
  std::set<std::string> names = Files();
  if (!row.changed.empty()) names.insert(row.changed);

  alarm(5);  // ends the test program should a command hang
  EXPECT_EQ(Kvset(row.line), row.status) << err_;
  alarm(0);

  EXPECT_NE((out_ + err_).find(row.message), std::string::npos) << out_ << err_;
  if (row.status == kExitError) {
    EXPECT_EQ(err_.rfind("kvset: ", 0), 0u) << err_;
  } else if (row.message.empty()) {
    EXPECT_EQ(err_, "");
  }
  for (const auto& [name, bytes] : images_) {
    EXPECT_TRUE(ReadFile(name) == (name == row.changed ? row.after(bytes) : bytes)) << name;
  }
  EXPECT_EQ(Files(), names);
  EXPECT_TRUE(fs::is_fifo("pipe.set"));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RunTest,
    ::testing::ValuesIn(std::vector<RunCase>{
        {"SetAll", "set KV.set slot=0 keep320x240=on start640x480=off window=on", 0, "", "KV.set",
         Ints({{0, 0}, {3564, 1}, {3560, 0}, {3568, 0}})},
        {"SetAllOther", "set KV.set start640x480=on keep320x240=off window=off slot=4", 0, "",
         "KV.set", Ints({{0, 4}, {3564, 0}, {3560, 1}, {3568, 1}})},
        {"SetSlot5", "set KV.set window=on slot=5", 2, "KV.set: slot=5: expected a slot 0-4"},
        {"SetSlot10", "set KV.set slot=10", 2, "slot=10: expected a slot 0-4"},
        {"SetMisspelt", "set KV.set window=yes", 2, "KV.set: window=yes: expected on or off"},
        {"SetNoValue", "set KV.set keep320x240", 2, "keep320x240: expected on or off"},
        {"SetTwice", "set KV.set start640x480=on start640x480=on", 2, "=on: given twice"},
        {"SetUnknown", "set KV.set sound=on", 2, "KV.set: sound=on: expected window="},
        {"SetNothing", "set KV.set", 2, "kvset: KV.set: CHANGES"},
        {"BindCurrentSlot", u8"bind KV.set UP=↓", 0, "", "KV.set", Binds(2, 0, {{0, 0, 208}})},
        {"BindSlot4Pad4", "bind KV.set --slot 4 --controller 4 B4=pad2:B3", 0, "", "KV.set",
         Binds(4, 3, {{7, 2, 4}})},
        {"BindSeveralSlot0", "bind KV.set --slot=0 --controller 2 left=none DOWN=key:300 B2=\\", 0,
         "", "KV.set", Binds(0, 1, {{2, 0, 0}, {1, 0, 300}, {5, 0, 125}})},
        {"BindSlotOverFile", "bind slot5.set --slot 1 UP=z", 0, "", "slot5.set",
         Binds(1, 0, {{0, 0, 44}})},
        {"BindFileSlot5", "bind slot5.set UP=z", 2, "slot5.set: the current slot is 5, not 0-4"},
        {"BindSlot5", "bind KV.set --slot 5 UP=z", 2, "--slot takes a number from 0 to 4\n"},
        {"BindSlotMinus1", "bind KV.set --slot -1 UP=z", 2, "--slot takes a number from 0 to 4"},
        {"BindSlotInWords", "bind --slot two KV.set UP=z", 2, "--slot takes a number"},
        {"BindSlotTrailing", "bind KV.set --slot 1x UP=z", 2, "--slot takes a number"},
        {"BindController0", "bind KV.set --controller 0 UP=z", 2, "--controller takes a number"},
        {"BindController5", "bind KV.set --controller 5 UP=z", 2, "from 1 to 4"},
        {"BindUnknownKey", "bind KV.set UP=z B1=zz", 2, "KV.set: B1=zz: no such input"},
        {"BindMisspelt", "bind KV.set B1=hmoe", 2, "(did you mean Home?); 'kvset keys' lists"},
        {"BindMisspeltPad", "bind KV.set B1=pda4:up", 2, "(did you mean pad4:UP?)"},
        {"BindNotCp932", u8"bind KV.set UP=\U0001F600", 2, "no such input"},
        {"BindPosition", "bind KV.set B5=z", 2, "KV.set: B5=z: the position is not one of"},
        {"BindNoEquals", "bind KV.set UPz", 2, "KV.set: UPz: expected POSITION=INPUT"},
        {"BindTwice", "bind KV.set --controller 3 UP=z up=x", 2, "controller 3 UP is given twice"},
        {"BindNoFolder", "bind nofolder/KV.set UP=z", 2, "cannot open the file: there is no such"},
        {"BindMissing", "bind none.set UP=z", 2,
         "kvset: none.set: cannot open the file: there is "
         "no such file\n"},
        {"CopySlotFrom4", "copy-slot KV.set 4 0", 0, "", "KV.set", CopyKeyMap(4, 0)},
        {"CopySlotTo4", "copy-slot KV.set 1 4", 0, "", "KV.set", CopyKeyMap(1, 4)},
        {"CopyToSlot5", "copy-slot KV.set 0 5", 2, "TO takes a number from 0 to 4"},
        {"Import", "import KV.set --slot 1 map.txt", 0, "", "KV.set",
         Binds(1, 3, {{7, 1, 2}, {0, 0, 203}})},
        {"ImportStandardInput", "import KV.set -", 0, "", "KV.set", Binds(2, 0, {{0, 0, 44}})},
        {"ImportBadLine", "import KV.set bad.txt", 2, "kvset: bad.txt: line 3: B1=zz: no such"},
        {"ImportNoHeader", "import KV.set nohead.txt", 2, "line 2: a binding before the first"},
        {"ImportController5", "import KV.set c5.txt", 2,
         "line 2: [controller 5]: expected [controller 1] to [controller 4]"},
        {"ImportTwice", "import KV.set twice.txt", 2, "twice.txt: controller 2 UP is given twice"},
        {"ImportMissing", "import KV.set none.txt", 2, "none.txt: cannot open the file"},
        {"ImportOddUtf16", "import KV.set odd.txt", 2, "odd.txt: the text is not UTF-8"},
        {"ImportFileSlot5", "import slot5.set map.txt", 2, "slot5.set: the current slot is 5"},
        {"ExportFileSlot5", "export slot5.set", 2, "slot5.set: the current slot is 5"},
        {"ExportNoFolder", "export KV.set -o nofolder/map.txt", 2,
         "kvset: nofolder/map.txt: cannot write the file (its folder is missing)"},
        {"ResetRankings", "reset-rankings KV.set", 0, "", "KV.set", Golden("defaults.set", 3884)},
        {"DefaultsOverAFile", "defaults KV.set", 2, "KV.set: the file exists; give --force"},
        {"DefaultsForced", "defaults KV.set --force", 0, "", "KV.set", Golden("defaults.set")},
        {"DefaultsJoystick", "defaults new.set --joystick", 0, "", "new.set",
         Golden("defaults-joystick.set")},
        {"DefaultsNoFolder", "defaults nofolder/KV.set", 2,
         "cannot write the file (its folder is missing); it was not changed"},
        {"DefaultsGame", "defaults --game e", 0,
         "--game e: no KV.set yet; .\\Data\\KV.set is where Config.exe saves it", "e/Data/KV.set",
         Golden("defaults.set")},
        {"GameLocalConfig", "set --game h window=on", 0,
         "--game h: the game's file is LocalConfig\\KV.set", "h/LocalConfig/KV.set", kWindowOn},
        {"GameData", "set --game=g window=on", 0, "the game's file is .\\Data\\KV.set",
         "g/Data/KV.set", kWindowOn},
        {"GameDataPath", "set --game k window=on", 0, "Data\\KV.set (in ", "k/d/Data/KV.set",
         kWindowOn},
        // The file beside LocalConfig.Txt is named by its whole path.
        {"GameDataPathLocalConfig", "set --game m window=on", 0, "m\\LocalConfig\\KV.set",
         "m/LocalConfig/KV.set", kWindowOn},
        {"GameMissing", "show --game none", 2, "--game none: cannot enter the folder"},
        {"GameNotCp932", u8"show --game x\U0001F600", 2, "code page 932 lacks"},
        {"ShadowedDataFile", "set h/Data/KV.set window=on", 0,
         "warning: h/Data/KV.set: the game reads h/LocalConfig/KV.set instead", "h/Data/KV.set",
         kWindowOn},
        {"ShortFile", "set short.set window=on", 2,
         "kvset: short.set: the file is 4683 bytes, not 4684; nothing changed\n"},
        {"LongFile", "reset-rankings long.set", 2, "the file is 4685 bytes, not 4684"},
        {"ReadOnly", "set readonly.set window=on", 2,
         "readonly.set: cannot write the file (read-only); it was not changed"},
        {"Folder", "show folder", 2, "folder: not a regular file"},
        {"NameWithBackslash", "set a\\KV.set window=on", 0, "", "a\\KV.set", kWindowOn},
        {"NameOfWaveDash", u8"set KV〜.set window=on", 0, "", u8"KV〜.set", kWindowOn},
        {"NameNotUtf8", "set KV\xFF.set window=on", 0, "", "KV\xFF.set", kWindowOn},
        {"PipeShow", "show pipe.set", 2, "kvset: pipe.set: not a regular file"},
        {"PipeCheck", "check pipe.set", 2, "not a regular file"},
        {"PipeExport", "export pipe.set", 2, "not a regular file"},
        {"PipeSet", "set pipe.set slot=1", 2, "not a regular file"},
        {"PipeBind", "bind pipe.set UP=z", 2, "not a regular file"},
        {"PipeCopySlot", "copy-slot pipe.set 0 1", 2, "not a regular file"},
        {"PipeImport", "import pipe.set map.txt", 2, "not a regular file"},
        {"PipeResetRankings", "reset-rankings pipe.set", 2, "not a regular file"},
        {"PipeDefaults", "defaults pipe.set", 2, "not a regular file"},
        {"ShowMissing", "show none.set", 2, "cannot open the file: there is no such file"},
        {"OptionOfAnother", "show --slot 1 KV.set", 2, "show: --slot is not an option of show"},
        {"WordsTooMany", "show KV.set other.set x", 2, "show: other.set: one word more than show"},
        {"UnknownCommand", "frob KV.set", 2, "kvset: frob: no such command\n"},
        {"MisspeltCommand", "shwo", 2, "shwo: no such command (did you mean show?)"},
        {"NoCommand", "", 2, "kvset: give a command: show check keys set bind copy-slot export"},
        {"Help", "--help", 0, "Usage: kvset [OPTIONS] SUBCOMMAND"},
        {"CommandHelp", "reset-rankings --help", 0, "Usage: kvset reset-rankings"},
        {"Version", "--version", 0, std::string("kvset ") + CONFIG_VERSION_TEXT + "\n"},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
