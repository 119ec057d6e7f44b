#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

// Slot 3 current, window mode on, 640x480 on, keep 320x240 off, and in slot 3
// controller 2 one binding of every kind.
Image CraftedImage() {
  Image image = WithInt(WithInt(WithInt(WithInt(PatternImage(), 0, 3), 3568, 7), 3560, 1), 3564, 0);
  const int32_t bindings[8][2] = {{0, 208},  {0, 300}, {0, 0},   {2, 0x4},
                                  {3, 0x30}, {7, 5},   {0, 125}, {4, 0x10000}};
  for (int position = 0; position < 8; ++position) {
    image = WithBinding(image, 3, 1, position, bindings[position][0], bindings[position][1]);
  }
  image = WithInt(image, BindingAt(3, 1, 0) + 8, -559038737);  // 0xDEADBEEF
  // Ranking table 3, entry 10: head, value and the triple.
  for (int k = 0; k < 5; ++k) image = WithInt(image, 4664 + 4 * k, -k - 1);
  return image;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ShowTest : public KvsetFixture, public ::testing::Test {
 protected:
  void SetUp() override { WriteFile("KV.set", CraftedImage()); }
};

TEST_F(ShowTest, TextShowsTheOptionsAsTheDialogAndEveryBindingByName) {
  EXPECT_EQ(Kvset("show KV.set"), kExitDone);

  const std::vector<std::string> lines = Lines(out_);
  ASSERT_EQ(lines.size(), 5u + 5 * 5 + 4 * 11);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{
                "file: KV.set (4684 bytes)", "current slot: 3", "window mode: on (fullScreen 7)",
                "start at 640x480: on (start640x480 1)", "keep 320x240: off (keep320x240 0)"}));
  EXPECT_EQ(lines[5 + 2 * 5], "slot 2:");
  EXPECT_EQ(lines[5 + 3 * 5], "slot 3 (current):");
  EXPECT_EQ(lines[5 + 3 * 5 + 2],
            u8"  controller 2: UP=↓ DOWN=key:300 LEFT=none RIGHT=PAD2:B3 "
            u8"B1=PAD3:0x30 B2=source7:0x5 B3=\\ B4=PAD4:UP");
  EXPECT_EQ(lines[5 + 5 * 5], "ranking table 0:");
  EXPECT_EQ(lines[5 + 5 * 5 + 1].substr(0, 12), "   1. value ");
  EXPECT_EQ(lines.back(), "  10. value -2, head -1, triple -3 -4 -5");
  EXPECT_EQ(err_, "");
}

TEST_F(ShowTest, JsonCarriesTheSameFields) {
  EXPECT_EQ(Kvset("show KV.set --json"), kExitDone);

  nlohmann::json json = nlohmann::json::parse(out_);
  ASSERT_EQ(json["slots"].size(), 5u);
  ASSERT_EQ(json["rankings"].size(), 4u);
  const nlohmann::json bindings = json["slots"][3]["controllers"][1]["bindings"];
  EXPECT_EQ(bindings[0], nlohmann::json::parse(u8R"({"position": "UP", "input": "↓", "source": 0,
                                                    "code": 208, "handler": 3735928559})"));
  ASSERT_EQ(bindings.size(), 8u);
  EXPECT_EQ(bindings[5]["input"], "source7:0x5");
  EXPECT_EQ(bindings[7]["position"], "B4");
  EXPECT_EQ(
      json["rankings"][3]["entries"][9],
      nlohmann::json::parse(R"({"rank": 10, "head": -1, "value": -2, "triple": [-3, -4, -5]})"));
  for (int slot = 0; slot < 5; ++slot) {
    EXPECT_EQ(json["slots"][slot]["current"], slot == 3);
    EXPECT_EQ(json["slots"][slot]["slot"], slot);
    EXPECT_EQ(json["slots"][slot]["controllers"][3]["controller"], 4);
  }
  EXPECT_EQ(json["rankings"][0]["table"], 0);
  EXPECT_EQ(json["rankings"][3]["entries"].size(), 10u);
  for (const char* field : {"slots", "rankings"}) json.erase(field);
  EXPECT_EQ(json, nlohmann::json::parse(R"({"format": 1, "file": "KV.set", "size": 4684,
      "currentSlot": 3, "windowMode": true, "start640x480": true, "keep320x240": false,
      "fields": {"fullScreen": 7, "start640x480": 1, "keep320x240": 0}})"));
}

// The program reads a short file over its defaults, and so does show.
TEST_F(ShowTest, ShortFileShowsItsSizeAndTheDefaultsPastItsEnd) {
  WriteFile("KV.set", WithInt(Image(4, 0), 0, 4));

  EXPECT_EQ(Kvset("show KV.set"), kExitDone);

  const std::vector<std::string> lines = Lines(out_);
  ASSERT_GT(lines.size(), 5u + 4 * 5 + 1);
  EXPECT_EQ(
      lines[0],
      "file: KV.set (4 bytes, not 4684; what lies past its end shows the program's defaults)");
  EXPECT_EQ(lines[2], "window mode: off (fullScreen 1)");
  EXPECT_EQ(lines[5 + 4 * 5 + 1],
            u8"  controller 1: UP=↑ DOWN=↓ LEFT=← RIGHT=→ B1=z B2=x B3=c B4=v");
}

// Export to a file through the safe save, import of it into a slot the copy
// overwrote: every source and code comes back; handler words stay the slot's.
TEST_F(ShowTest, ImportOfAnExportRestoresEverySourceAndCode) {
  ASSERT_EQ(Kvset("export KV.set"), kExitDone);
  const std::string exported = out_;
  ASSERT_EQ(Kvset("export KV.set --slot 3 -o map.txt"), kExitDone) << err_;
  EXPECT_EQ(ReadFile("map.txt"), exported);
  EXPECT_EQ(Lines(exported)[0], "# KV.set key map of slot 3");
  EXPECT_EQ(Lines(exported)[10], "[controller 2]");
  ASSERT_EQ(Kvset("copy-slot KV.set 0 3"), kExitDone);

  EXPECT_EQ(Kvset("import KV.set map.txt"), kExitDone) << err_;

  Image expected = CraftedImage();
  for (int controller = 0; controller < 4; ++controller) {
    for (int position = 0; position < 8; ++position) {
      expected.replace(BindingAt(3, controller, position) + 8, 4,
                       CraftedImage().substr(BindingAt(0, controller, position) + 8, 4));
    }
  }
  EXPECT_TRUE(ReadFile("KV.set") == expected);
}

}  // namespace
}  // namespace cfg
