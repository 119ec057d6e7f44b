// The fresh records against the golden files that the independent model of the
// file layout (tests/e2e/kvset_model.py) wrote: every default byte, compared once.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/kvset/fresh_record.h"

namespace cfg {
namespace {

std::vector<uint8_t> GoldenFile(const std::string& name) {
  std::ifstream file(std::string(GOLDEN_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(FreshRecord, MatchesTheGoldenFileByteForByte) {
  for (const bool joystick1 : {false, true}) {
    const SettingsRecord record = FreshRecord(joystick1);
    const std::vector<uint8_t> fresh(record.bytes.begin(), record.bytes.end());
    const std::vector<uint8_t> golden =
        GoldenFile(joystick1 ? "defaults-joystick.set" : "defaults.set");
    ASSERT_EQ(golden.size(), fresh.size()) << "joystick 1: " << joystick1;
    const auto differ = std::mismatch(fresh.begin(), fresh.end(), golden.begin()).first;
    EXPECT_EQ(differ, fresh.end())
        << "first differing byte " << (differ - fresh.begin()) << ", joystick 1: " << joystick1;
  }
}

}  // namespace
}  // namespace cfg
