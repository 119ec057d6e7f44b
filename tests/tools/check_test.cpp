#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

// A file as a confirmed first run writes it, with one spoilt binding or field.
struct CheckCase {
  const char* name;
  Image file;
  std::vector<std::string> findings;  // none: the file is clean
};

const Image kClean = GoldenFile("defaults.set");

class CheckTest : public KvsetFixture, public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, ReportsOneLineAFindingAndExits1) {
  WriteFile("KV.set", GetParam().file);
  const std::vector<std::string>& findings = GetParam().findings;

  EXPECT_EQ(Kvset("check KV.set"), findings.empty() ? kExitDone : kExitFindings);

  std::string expected = findings.empty() ? "KV.set: no findings\n" : "";
  for (const std::string& finding : findings) expected += "KV.set: " + finding + "\n";
  EXPECT_EQ(out_, expected);
  EXPECT_EQ(Kvset("check --json KV.set"), findings.empty() ? kExitDone : kExitFindings);
  const nlohmann::json json = nlohmann::json::parse(out_);
  EXPECT_EQ(json["format"], 1);
  EXPECT_EQ(json["file"], "KV.set");
  EXPECT_EQ(json["size"], GetParam().file.size());
  EXPECT_EQ(json["findings"], findings);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, CheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"Clean", kClean, {}},
        {"Short", kClean.substr(0, 4683), {"size 4683 bytes, not 4684"}},
        {"Long", kClean + '\0', {"size 4685 bytes, not 4684"}},
        {"Slot4", WithInt(kClean, 0, 4), {}},
        {"Slot5",
         WithInt(kClean, 0, 5),
         {"current slot 5 is not 0-4 (the program falls back to slot 0)"}},
        {"SlotMinus1",
         WithInt(kClean, 0, -1),
         {"current slot -1 is not 0-4 (the program falls "
          "back to slot 0)"}},
        {"Source5",
         WithBinding(kClean, 1, 2, 6, 5, 4),
         {"slot 1, controller 3 B3: source5:0x4: source 5 is not 0-4, so the input never acts"}},
        {"SourceMinus1",
         WithBinding(kClean, 0, 0, 0, -1, 4),
         {"slot 0, controller 1 UP: source-1:0x4: source -1 is not 0-4, so the input never acts"}},
        {"KeyWithoutName",
         WithBinding(kClean, 0, 1, 0, 0, 1),
         {"slot 0, controller 2 UP: key:1: the code has no name"}},
        {"Pad4WithoutName",
         WithBinding(kClean, 4, 0, 4, 4, 0x30),
         {"slot 4, controller 1 B1: PAD4:0x30: the code has no name"}},
        {"SameKeyTwice",
         WithBinding(kClean, 4, 3, 6, 0, 8),
         {"slot 4, controller 4 B1 and B3: both bound to 7"}},
        {"KeyCodeSharingALowByte",
         WithBinding(kClean, 2, 0, 7, 0, 44 + 256),
         {"slot 2, controller 1 B4: key:300: the code has no name",
          "slot 2, controller 1 B1 and B4: bound to z and key:300, which one input drives"}},
        {"OverlappingPadMasks",
         WithBinding(WithBinding(kClean, 3, 0, 0, 1, 0x1), 3, 0, 3, 1, 0x3),
         {"slot 3, controller 1 RIGHT: PAD1:0x3: the code has no name",
          "slot 3, controller 1 UP and RIGHT: bound to PAD1:B1 and PAD1:0x3, which one input "
          "drives"}},
        // Cleared bindings are meant; one pad input on two joysticks is two inputs.
        {"TwoCleared", WithBinding(WithBinding(kClean, 0, 0, 0, 0, 0), 0, 0, 1, 0, 0), {}},
        {"SameButtonTwoJoysticks",
         WithBinding(WithBinding(kClean, 0, 0, 4, 1, 0x1), 0, 0, 5, 2, 0x1),
         {}},
        {"SameKeyTwoControllers", WithBinding(kClean, 0, 1, 0, 0, 200), {}},
        {"LowByteZeroIsNoInput",
         WithBinding(WithBinding(kClean, 0, 0, 6, 0, 0), 0, 0, 7, 0, 0x100),
         {"slot 0, controller 1 B4: key:256: the code has no name"}},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
