// Every changing command writes exactly the bytes asked for and keeps all others.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
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
  EXPECT_FALSE(Exists("KV.set.tmp"));
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

}  // namespace
}  // namespace cfg
