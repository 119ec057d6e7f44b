#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

struct CheckCase {
  const char* name;
  std::function<Image(Image)> spoil;
  std::vector<std::string> findings;
};

class CheckFixture : public KvsetFixture {
 protected:
  // What a confirmed first run writes: no findings.
  Image Clean() {
    EXPECT_EQ(Kvset({"defaults", "clean.set"}), kExitDone);
    return ReadImage("clean.set");
  }
};

class CheckTest : public CheckFixture, public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, ReportsOneLineAFindingAndExits1) {
  WriteImage(GetParam().spoil(Clean()));

  EXPECT_EQ(Kvset({"check", "KV.set"}), kExitFindings);

  std::string expected;
  for (const std::string& finding : GetParam().findings) expected += "KV.set: " + finding + "\n";
  EXPECT_EQ(out_, expected);

  EXPECT_EQ(Kvset({"check", "--json", "KV.set"}), kExitFindings);

  const nlohmann::json json = nlohmann::json::parse(out_);
  EXPECT_EQ(json["format"], 1);
  EXPECT_EQ(json["findings"], GetParam().findings);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, CheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"Short",
         [](Image i) { return Image(i.begin(), i.begin() + 4000); },
         {"size 4000 bytes, not 4684"}},
        {"Long",
         [](Image i) {
           i.push_back(0);
           return i;
         },
         {"size 4685 bytes, not 4684"}},
        {"Slot5",
         [](Image i) { return WithInt(i, 0, 5); },
         {"current slot 5 is not 0-4 (the program falls back to slot 0)"}},
        {"SlotNegative",
         [](Image i) { return WithInt(i, 0, -1); },
         {"current slot -1 is not 0-4 (the program falls back to slot 0)"}},
        {"Source7",
         [](Image i) { return WithBinding(i, 1, 2, 6, 7, 4); },
         {"slot 1, controller 3 B3: source7:0x4: source 7 is not 0-4, so the input never acts"}},
        {"KeyWithoutName",
         [](Image i) { return WithBinding(i, 0, 1, 0, 0, 1); },
         {"slot 0, controller 2 UP: key:1: the code has no name"}},
        {"PadWithoutName",
         [](Image i) { return WithBinding(i, 4, 0, 4, 2, 0x30); },
         {"slot 4, controller 1 B1: PAD2:0x30: the code has no name"}},
        {"SameKeyTwice",
         [](Image i) { return WithBinding(i, 4, 3, 6, 0, 8); },
         {"slot 4, controller 4 B1 and B3: both bound to 7"}},
        {"KeyCodeSharingALowByte",
         [](Image i) { return WithBinding(i, 2, 0, 7, 0, 44 + 256); },
         {"slot 2, controller 1 B4: key:300: the code has no name",
          "slot 2, controller 1 B1 and B4: bound to z and key:300, which one input drives"}},
        {"OverlappingPadMasks",
         [](Image i) { return WithBinding(WithBinding(i, 3, 0, 0, 1, 0x1), 3, 0, 3, 1, 0x3); },
         {"slot 3, controller 1 RIGHT: PAD1:0x3: the code has no name",
          "slot 3, controller 1 UP and RIGHT: bound to PAD1:B1 and PAD1:0x3, which one input "
          "drives"}},
    }),
    [](const auto& info) { return info.param.name; });

struct CleanCase {
  const char* name;
  std::function<Image(Image)> change;
};

class CleanTest : public CheckFixture, public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanTest, NothingToReportExits0) {
  WriteImage(GetParam().change(Clean()));

  EXPECT_EQ(Kvset({"check", "KV.set"}), kExitDone);

  EXPECT_EQ(out_, "KV.set: no findings\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, CleanTest,
    ::testing::ValuesIn(std::vector<CleanCase>{
        {"Defaults", [](Image i) { return i; }},
        // Cleared bindings are meant; one pad input on two joysticks is two inputs.
        {"TwoCleared",
         [](Image i) { return WithBinding(WithBinding(i, 0, 0, 0, 0, 0), 0, 0, 1, 0, 0); }},
        {"SameButtonTwoJoysticks",
         [](Image i) { return WithBinding(WithBinding(i, 0, 0, 4, 1, 0x1), 0, 0, 5, 2, 0x1); }},
        {"SameKeyTwoControllers", [](Image i) { return WithBinding(i, 0, 1, 0, 0, 200); }},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
