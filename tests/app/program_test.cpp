// A confirmed run over KV.set's on disk, good and bad: it loads the first one
// found (LocalConfig, then Data), shows what it can, and writes back a whole
// record in which only the dialog's own fields changed, into the folder of the
// last load. No other file changes.
#include "app/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "input/key_codes.h"
#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/read_back_check.h"

namespace cfg::testing {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr char kUpArrow[] = "\x81\xAA";

// The golden fresh record with this slot and controller 1's UP binding in slot 0.
Bytes Edited(int32_t slot, int32_t upSource = kKeyboardSource, int32_t upCode = dik::kUp) {
  SettingsRecord record = GoldenRecord(false);
  record.SetInt(record_offset::kCurrentSlot, slot);
  StoreBinding(record.KeyMap(0), 0, kUp, KeyBinding{upSource, upCode, 0x12345678});
  return RecordBytes(record);
}

struct DiskCase {
  const char* name;
  std::optional<Bytes> localConfig;
  // What the button assignment shows for controller 1's UP.
  std::optional<std::string> upText = std::nullopt;
  std::optional<Bytes> data = std::nullopt;
  const char* savedPath = kLocalConfigSettings;
  bool localConfigLocked = false;
  // Joystick 1 attached, answering at once or only after the load.
  enum { kNoJoystick, kEarly, kLate } joystick1 = kNoJoystick;
};

// Keyboard defaults that end after controller 1's UP and DOWN in slot 0.
const Bytes kUpAndDown = [] {
  Bytes keyboard = RecordBytes(GoldenRecord(false));
  keyboard.resize(record_offset::KeyMap(0) + 2 * kKeyBindingSize);
  return keyboard;
}();

const Bytes kWhole = PatternBytes(kSettingsRecordSize, 11);
const DiskCase kDiskCases[] = {
    {"LocalConfigFileIsLoadedAndSavedBackThere", kWhole, {}, Edited(3)},
    {"DataFileWhenLocalConfigHasNone", {}, {}, kWhole, kDataSettings},
    {"NeitherFileKeepsTheDefaultsAndSavesIntoData", {}, kUpArrow, {}, kDataSettings},
    {"EmptyLocalConfigFileCountsAsFound", Bytes{}, kUpArrow, kWhole},
    {"LockedLocalConfigFileCountsAsMissing", Edited(3), {}, kWhole, kDataSettings, true},
    {"OneByte", PatternBytes(1, 5), kUpArrow},
    {"OneMebibyte", PatternBytes(1 << 20, 5)},
    {"SlotFive", Edited(5), kUpArrow},
    {"SourceMinusOne", Edited(0, -1, 0x10000), "PAD-1:UP"},
    {"SourceFive", Edited(0, 5, 0x10000), "PAD5:UP"},
    {"Source1000", Edited(0, 1000, 0x10000), "PAD1000:UP"},
    {"KeyCode300", Edited(0, 0, 300), ""},
    {"KeyCodeMinusOne", Edited(0, 0, -1), ""},
    // Controller 1's defaults follow joystick 1 wherever KV.set left them, as
    // if detection had come before the load, however late it answers.
    {"Joystick1FreshRun", {}, {}, {}, kDataSettings, false, DiskCase::kEarly},
    {"Joystick1AnswersAfterTheLoad", {}, {}, {}, kDataSettings, false, DiskCase::kLate},
    {"Joystick1AnswersAfterTheLoadOfAShortFile",
     {},
     {},
     kUpAndDown,
     kDataSettings,
     false,
     DiskCase::kLate},
};

std::map<std::string, std::optional<Bytes>> Contents(const MemoryFileSystem& files) {
  std::map<std::string, std::optional<Bytes>> contents;
  for (const std::string& path : files.ListFiles()) contents[path] = files.FileBytes(path);
  return contents;
}

class KvSetOnDiskTest : public ::testing::TestWithParam<DiskCase> {};

TEST_P(KvSetOnDiskTest, ConfirmedRunSavesAWholeRecordKeepingTheGamesBytes) {
  const DiskCase& c = GetParam();
  ProgramRig rig;
  rig.files.AddDirectory("Data");
  if (c.localConfig) rig.files.SetFile(kLocalConfigSettings, *c.localConfig);
  if (c.data) rig.files.SetFile(kDataSettings, *c.data);
  if (c.localConfigLocked) rig.files.SetLocked(kLocalConfigSettings);
  if (c.joystick1 != DiskCase::kNoJoystick) rig.AttachJoystick1();
  rig.devicesThread.late = c.joystick1 == DiskCase::kLate;
  auto expected = Contents(rig.files);
  rig.program.StartUp();
  MainDialog dialog(rig.program);
  FakeMainDialogView view(dialog);
  std::string upText;
  view.buttonAssignDialog = [&] {
    FakeButtonAssignView assign(rig.program.buttonAssign);
    assign.Open();
    upText = assign.text(IDC_FIELD_UP);
    return kDialogConfirmed;
  };
  view.Open();
  if (c.joystick1 == DiskCase::kNoJoystick) view.Press(IDC_KEY_CONFIG);
  view.Press(IDC_CONFIRM);
  EXPECT_TRUE(rig.program.ShutDown());

  const std::optional<Bytes> file = rig.files.FileBytes(c.savedPath);
  ASSERT_TRUE(file && file->size() == kSettingsRecordSize);
  const std::optional<Bytes>& before = c.savedPath == kDataSettings ? c.data : c.localConfig;
  SettingsRecord loaded = GoldenRecord(c.joystick1 != DiskCase::kNoJoystick), saved;
  if (before)
    std::copy_n(before->begin(), std::min(before->size(), kSettingsRecordSize),
                loaded.bytes.begin());
  std::copy(file->begin(), file->end(), saved.bytes.begin());
  EXPECT_EQ(ReadBackMismatch(loaded, saved), "");
  EXPECT_EQ(view.selected(), saved.Int(record_offset::kCurrentSlot));
  if (c.upText) {
    EXPECT_EQ(upText, *c.upText);
  }
  expected[rig.files.Absolute(c.savedPath)] = file;
  EXPECT_EQ(Contents(rig.files), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, KvSetOnDiskTest, ::testing::ValuesIn(kDiskCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
