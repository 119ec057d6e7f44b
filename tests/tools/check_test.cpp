#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/kvset_fixture.h"

namespace cfg {
namespace {

// A file as a confirmed first run writes it, with one spoilt binding or field,
// and the findings about it, one a line.
struct CheckCase {
  const char* name;
  Image file;
  std::string findings;  // empty: the file is clean
};

const Image kClean = GoldenFile("defaults.set");

class CheckTest : public KvsetFixture, public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, ReportsOneLineAFindingAndExits1) {
  WriteFile("KV.set", GetParam().file);
  const std::string& findings = GetParam().findings;
  const int status = findings.empty() ? kExitDone : kExitFindings;

  EXPECT_EQ(Kvset("check KV.set"), status);

  std::vector<std::string> lines;
  std::istringstream in(findings);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::string text = lines.empty() ? "KV.set: no findings\n" : "";
  for (const std::string& line : lines) text += "KV.set: " + line + "\n";
  EXPECT_EQ(out_, text);
  EXPECT_EQ(Kvset("check --json KV.set"), status);
  EXPECT_EQ(nlohmann::json::parse(out_), nlohmann::json({{"format", 1},
                                                         {"file", "KV.set"},
                                                         {"size", GetParam().file.size()},
                                                         {"findings", lines}}));
}

const std::string kNotASlot = " is not 0-4 (the program falls back to slot 0)";
const std::string kNeverActs = " is not 0-4, so the input never acts";

INSTANTIATE_TEST_SUITE_P(
    Findings, CheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"Clean", kClean, ""},
        {"Short", kClean.substr(0, 4683), "size 4683 bytes, not 4684"},
        {"Long", kClean + '\0', "size 4685 bytes, not 4684"},
        {"Slot4", WithInt(kClean, 0, 4), ""},
        {"Slot5", WithInt(kClean, 0, 5), "current slot 5" + kNotASlot},
        {"SlotMinus1", WithInt(kClean, 0, -1), "current slot -1" + kNotASlot},
        {"Source5", WithBinding(kClean, 1, 2, 6, 5, 4),
         "slot 1, controller 3 B3: source5:0x4: source 5" + kNeverActs},
        {"SourceMinus1", WithBinding(kClean, 0, 0, 0, -1, 4),
         "slot 0, controller 1 UP: source-1:0x4: source -1" + kNeverActs},
        {"KeyWithoutName", WithBinding(kClean, 0, 1, 0, 0, 1),
         "slot 0, controller 2 UP: key:1: the code has no name"},
        {"Pad4WithoutName", WithBinding(kClean, 4, 0, 4, 4, 0x30),
         "slot 4, controller 1 B1: PAD4:0x30: the code has no name"},
        {"SameKeyTwice", WithBinding(kClean, 4, 3, 6, 0, 8),
         "slot 4, controller 4 B1 and B3: both bound to 7"},
        {"KeyCodeSharingALowByte", WithBinding(kClean, 2, 0, 7, 0, 44 + 256),
         "slot 2, controller 1 B4: key:300: the code has no name\n"
         "slot 2, controller 1 B1 and B4: bound to z and key:300, which one input drives"},
        {"OverlappingPadMasks", WithBinding(WithBinding(kClean, 3, 0, 0, 1, 1), 3, 0, 3, 1, 3),
         "slot 3, controller 1 RIGHT: PAD1:0x3: the code has no name\n"
         "slot 3, controller 1 UP and RIGHT: bound to PAD1:B1 and PAD1:0x3, which one input "
         "drives"},
        // Cleared bindings are meant; one pad input on two joysticks is two inputs.
        {"TwoCleared", WithBinding(WithBinding(kClean, 0, 0, 0, 0, 0), 0, 0, 1, 0, 0), ""},
        {"SameButtonTwoJoysticks", WithBinding(WithBinding(kClean, 0, 0, 4, 1, 1), 0, 0, 5, 2, 1),
         ""},
        {"SameKeyTwoControllers", WithBinding(kClean, 0, 1, 0, 0, 200), ""},
        {"LowByteZeroIsNoInput", WithBinding(WithBinding(kClean, 0, 0, 6, 0, 0), 0, 0, 7, 0, 256),
         "slot 0, controller 1 B4: key:256: the code has no name"},
    }),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cfg
