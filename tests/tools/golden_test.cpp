// The fresh records against the golden files that the independent model of the
// file layout (tests/e2e/kvset_model.py) wrote: every default byte, compared once.
#include <gtest/gtest.h>

#include "tests/tools/kvset_fixture.h"
#include "tools/kvset/fresh_record.h"

namespace cfg {

TEST(FreshRecord, MatchesTheGoldenFileByteForByte) {
  for (const bool joystick1 : {false, true}) {
    const SettingsRecord record = FreshRecord(joystick1);
    const Image golden = GoldenFile(joystick1 ? "defaults-joystick.set" : "defaults.set");
    ASSERT_EQ(golden.size(), record.bytes.size());
    for (size_t at = 0; at < golden.size(); ++at) {
      ASSERT_EQ(static_cast<uint8_t>(golden[at]), record.bytes[at])
          << "byte " << at << ", joystick 1: " << joystick1;
    }
  }
}

}  // namespace cfg
