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
#include <utility>
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
  return Image(record);
}

struct DiskCase {
  const char* name;
  std::optional<Bytes> localConfig;
  // What the button assignment shows for controller 1's UP.
  std::optional<std::string> upText = std::nullopt;
  std::optional<Bytes> data = std::nullopt;
  const char* savedPath = kLocalConfigSettings;
  bool localConfigLocked = false;
};

const Bytes kWhole = PatternFile(kSettingsRecordSize, 11);
const DiskCase kDiskCases[] = {
    {"LocalConfigFileIsLoadedAndSavedBackThere", kWhole, {}, Edited(3)},
    {"DataFileWhenLocalConfigHasNone", {}, {}, kWhole, kDataSettings},
    {"NeitherFileKeepsTheDefaultsAndSavesIntoData", {}, kUpArrow, {}, kDataSettings},
    {"EmptyLocalConfigFileCountsAsFound", Bytes{}, kUpArrow, kWhole},
    {"LockedLocalConfigFileCountsAsMissing", Edited(3), {}, kWhole, kDataSettings, true},
    {"OneByte", PatternFile(1), kUpArrow},
    {"OneByteShort", PatternFile(kSettingsRecordSize - 1)},
    {"OneByteLong", PatternFile(kSettingsRecordSize + 1)},
    {"OneMebibyte", PatternFile(1 << 20)},
    {"SlotMinusOne", Edited(-1), kUpArrow},
    {"SlotFive", Edited(5), kUpArrow},
    {"SlotIntMax", Edited(0x7FFFFFFF), kUpArrow},
    {"SourceMinusOne", Edited(0, -1, 0x10000), "PAD-1:UP"},
    {"SourceFive", Edited(0, 5, 0x10000), "PAD5:UP"},
    {"Source1000", Edited(0, 1000, 0x10000), "PAD1000:UP"},
    {"KeyCode300", Edited(0, 0, 300), ""},
    {"KeyCodeMinusOne", Edited(0, 0, -1), ""},
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
  view.Press(IDC_KEY_CONFIG);
  view.Press(IDC_CONFIRM);
  EXPECT_TRUE(rig.program.ShutDown());

  const std::optional<Bytes> file = rig.files.FileBytes(c.savedPath);
  ASSERT_TRUE(file && file->size() == kSettingsRecordSize);
  const std::optional<Bytes>& before = c.savedPath == kDataSettings ? c.data : c.localConfig;
  SettingsRecord loaded = GoldenRecord(false), saved;
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

// The devices answer only when they are waited for, after KV.set is loaded.
class LateDevicesThread : public DevicesThread {
 public:
  void Start(Program& program) override { program_ = &program; }
  void Join() override {
    if (program_ != nullptr) std::exchange(program_, nullptr)->StartDevices();
  }

 private:
  Program* program_ = nullptr;
};

struct JoystickCase {
  const char* name;
  bool late;
  size_t fileSize;  // of a KV.set with keyboard defaults; 0: none
};

// The file ends after controller 1's UP and DOWN in slot 0.
const size_t kUpAndDown = record_offset::KeyMap(0) + 2 * kKeyBindingSize;
const JoystickCase kJoystickCases[] = {
    {"FreshRun", false, 0},
    {"AnswerAfterTheLoad", true, 0},
    {"AnswerAfterTheLoadOfAShortFile", true, kUpAndDown},
};

class Joystick1Test : public ::testing::TestWithParam<JoystickCase> {};

// Controller 1's defaults follow joystick 1 wherever KV.set left them, as if
// detection had come before the load, however late it answers.
TEST_P(Joystick1Test, DefaultsFollowItWhereTheFileLeftThem) {
  const JoystickCase& c = GetParam();
  MemoryFileSystem files{kStartFolder};
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread early;
  LateDevicesThread late;
  Program program{
      Platform{files, devices, joystickApi, c.late ? static_cast<DevicesThread&>(late) : early}};
  files.AddDirectory("Data");
  const Bytes keyboard = Image(GoldenRecord(false));
  SettingsRecord loaded = GoldenRecord(true);
  if (c.fileSize != 0) {
    files.SetFile(kDataSettings, Bytes(keyboard.begin(), keyboard.begin() + c.fileSize));
    std::copy_n(keyboard.begin(), c.fileSize, loaded.bytes.begin());
  }
  joystickApi.SetNumDevs(16);
  joystickApi.SetJoystick(0, FakeJoystickApi::FullRange(), 32767, 32767, 0);
  program.StartUp();
  MainDialog dialog(program);
  FakeMainDialogView view(dialog);
  view.Open();
  view.Press(IDC_CONFIRM);
  EXPECT_TRUE(program.ShutDown());
  SettingsRecord saved;
  const Bytes file = files.FileBytes(kDataSettings).value_or(Bytes());
  ASSERT_EQ(file.size(), kSettingsRecordSize);
  std::copy(file.begin(), file.end(), saved.bytes.begin());
  EXPECT_EQ(ReadBackMismatch(loaded, saved), "");
}

INSTANTIATE_TEST_SUITE_P(Joystick1, Joystick1Test, ::testing::ValuesIn(kJoystickCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
