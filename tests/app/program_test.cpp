#include "app/program.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "input/key_codes.h"
#include "tests/app/program_rig.h"

namespace cfg::testing {
namespace {

constexpr char kDataPathSettings[] = "D:\\Play\\Data\\KV.set";
constexpr char kLocalConfigText[] = "C:\\Game\\LocalConfig\\LocalConfig.Txt";

enum class Seed { kMarked, kEmpty, kLocked, kDataPathText, kFolder };

struct SeededFile {
  std::string path;
  Seed seed;
  int32_t marker;  // for kMarked and kLocked
};

struct FolderCase {
  const char* name;
  std::vector<SeededFile> files;
  int32_t loadedMarker;  // 0: the defaults stayed
  std::string settingsFolder;
  std::string savedPath;
};

const FolderCase kFolderCases[] = {
    {"LocalConfigFileIsLoadedAndSavedBackThere",
     {{kLocalConfigSettings, Seed::kMarked, 11}, {kDataSettings, Seed::kMarked, 22}},
     11,
     "LocalConfig\\",
     kLocalConfigSettings},
    {"DataFileWhenLocalConfigHasNone",
     {{kDataSettings, Seed::kMarked, 22}},
     22,
     ".\\Data\\",
     kDataSettings},
    {"NeitherFileKeepsTheDefaultsAndSavesIntoData",
     {{"C:\\Game\\Data", Seed::kFolder, 0}},
     0,
     ".\\Data\\",
     kDataSettings},
    {"EmptyLocalConfigFileCountsAsFound",
     {{kLocalConfigSettings, Seed::kEmpty, 0}, {kDataSettings, Seed::kMarked, 22}},
     0,
     "LocalConfig\\",
     kLocalConfigSettings},
    {"LockedLocalConfigFileCountsAsMissing",
     {{kLocalConfigSettings, Seed::kLocked, 11}, {kDataSettings, Seed::kMarked, 22}},
     22,
     ".\\Data\\",
     kDataSettings},
    {"DataPathLooksFirstInTheStartFoldersLocalConfig",
     {{kLocalConfigText, Seed::kDataPathText, 0},
      {kLocalConfigSettings, Seed::kMarked, 11},
      {kDataPathSettings, Seed::kMarked, 22}},
     11,
     "C:\\Game\\LocalConfig\\",
     kLocalConfigSettings},
    {"DataPathFallsBackToTheDataFolderUnderIt",
     {{kLocalConfigText, Seed::kDataPathText, 0},
      {kDataPathSettings, Seed::kMarked, 22},
      {kDataSettings, Seed::kMarked, 33}},
     22,
     ".\\Data\\",
     kDataPathSettings},
};

void SeedFiles(MemoryFileSystem& files, const std::vector<SeededFile>& seeded) {
  for (const SeededFile& file : seeded) {
    switch (file.seed) {
      case Seed::kMarked:
        files.SetFile(file.path, MarkedImage(file.marker));
        break;
      case Seed::kLocked:
        files.SetFile(file.path, MarkedImage(file.marker));
        files.SetLocked(file.path);
        break;
      case Seed::kEmpty:
        files.SetFile(file.path, std::string());
        break;
      case Seed::kDataPathText:
        files.SetFile(file.path, std::string("DataPath D:\\Play\r\n"));
        break;
      case Seed::kFolder:
        files.AddDirectory(file.path);
        break;
    }
  }
}

std::map<std::string, std::optional<std::vector<uint8_t>>> Contents(const MemoryFileSystem& files) {
  std::map<std::string, std::optional<std::vector<uint8_t>>> contents;
  for (const std::string& path : files.ListFiles()) contents[path] = files.FileBytes(path);
  return contents;
}

class FolderTest : public ::testing::TestWithParam<FolderCase> {
 protected:
  void SetUp() override {
    SeedFiles(rig_.files, GetParam().files);
    before_ = Contents(rig_.files);
    rig_.program.StartUp();
  }

  ProgramRig rig_;
  std::map<std::string, std::optional<std::vector<uint8_t>>> before_;
};

TEST_P(FolderTest, ConfirmedRunSavesIntoTheFolderOfTheLastLoad) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(rig_.record().Int(record_offset::kOpaqueA), c.loadedMarker);
  EXPECT_EQ(rig_.program.settingsFolder, c.settingsFolder);

  rig_.program.confirmFlag = 1;
  EXPECT_TRUE(rig_.program.ShutDown());

  const std::optional<std::vector<uint8_t>> saved = rig_.files.FileBytes(c.savedPath);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(*saved, Image(rig_.record()));
  auto expected = before_;
  expected[rig_.files.Absolute(c.savedPath)] = saved;
  EXPECT_EQ(Contents(rig_.files), expected);
  EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kReleaseDirectInput), 1);
}

TEST_P(FolderTest, UnconfirmedRunWritesNothing) {
  EXPECT_TRUE(rig_.program.ShutDown());
  EXPECT_EQ(Contents(rig_.files), before_);
  EXPECT_EQ(rig_.devices.Count(FakeInputDevices::Call::kReleaseDirectInput), 1);
}

INSTANTIATE_TEST_SUITE_P(StartFolders, FolderTest, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramTest, OnlyAConfirmFlagOfExactlyOneSaves) {
  ProgramRig rig;
  rig.files.AddDirectory("Data");
  rig.program.StartUp();
  rig.program.confirmFlag = 2;
  EXPECT_TRUE(rig.program.ShutDown());
  EXPECT_FALSE(rig.files.HasFile(kDataSettings));
}

// Every default is in place before the load, so the file's image wins whole.
TEST(ProgramTest, LoadedFileReplacesEveryDefault) {
  ProgramRig rig;
  std::vector<uint8_t> image(kSettingsRecordSize);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
  StoreLeInt32(image.data(), 3);  // currentSlot
  rig.files.SetFile(kLocalConfigSettings, image);

  rig.program.StartUp();

  EXPECT_EQ(Image(rig.record()), image);
  EXPECT_EQ(rig.program.bindings.CurrentKeyMap(), rig.record().KeyMap(3));
}

// A short file covers only its own bytes; the defaults stay behind it.
TEST(ProgramTest, ShortFileLeavesTheDefaultsBehindIt) {
  ProgramRig rig;
  std::vector<uint8_t> image(4);
  StoreLeInt32(image.data(), 3);  // currentSlot
  rig.files.SetFile(kLocalConfigSettings, image);

  rig.program.StartUp();

  SettingsRecord expected = SavedRecord();
  expected.SetInt(record_offset::kCurrentSlot, 3);
  expected.SetInt(record_offset::kOpaqueG, 2);
  expected.SetInt(record_offset::kOpaqueH, 2);
  expected.SetInt(record_offset::kOpaqueI, 1);
  EXPECT_EQ(Image(rig.record()), Image(expected));
}

// Joystick 1 answers on the devices thread, which a test can hold back until
// start-up has loaded KV.set.
class LateJoystickApi : public FakeJoystickApi {
 public:
  uint32_t NumDevs() override {
    answer_.wait();
    return FakeJoystickApi::NumDevs();
  }
  void Answer() { release_.set_value(); }

 private:
  std::promise<void> release_;
  std::shared_future<void> answer_ = release_.get_future().share();
};

// A KV.set that ends inside slot 0's key map, after controller 1's UP and DOWN.
std::vector<uint8_t> FileEndingAfterUpAndDown() {
  SettingsRecord record = SavedRecord();
  StoreBinding(record.KeyMap(0), 0, kUp, KeyBinding{0, 23, 0});
  StoreBinding(record.KeyMap(0), 0, kDown, KeyBinding{0, 37, 0});
  std::vector<uint8_t> image = Image(record);
  image.resize(record_offset::KeyMap(0) + binding_offset::Binding(0, kLeft));
  return image;
}

struct DefaultsCase {
  const char* name;
  bool joystick1Attached;
  bool shortFile;
  // Controller 1's defaults; the short file replaces UP and DOWN of slot 0.
  int32_t source;
  int32_t up, down, left;
};

const DefaultsCase kDefaultsCases[] = {
    {"Joystick1AnsweredGivesPadDefaults", true, false, 1, 0x10000, 0x20000, 0x40000},
    {"NoJoystickGivesKeyboardDefaults", false, false, kKeyboardSource, dik::kUp, dik::kDown,
     dik::kLeft},
    {"AnswerAfterTheLoadLeavesTheFilesBytes", true, true, 1, 0x10000, 0x20000, 0x40000},
    {"NoAnswerAfterTheLoadLeavesTheFilesBytes", false, true, kKeyboardSource, dik::kUp, dik::kDown,
     dik::kLeft},
};

class DefaultsTest : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(DefaultsTest, Controller1FollowsJoystickDetectionWhereTheFileLeftIt) {
  const DefaultsCase& c = GetParam();
  MemoryFileSystem files{kStartFolder};
  FakeInputDevices devices;
  LateJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};
  if (c.joystick1Attached) {
    joystickApi.SetNumDevs(16);
    joystickApi.SetJoystick(0, FakeJoystickApi::FullRange(), 32767, 32767, 0);
  }
  if (c.shortFile) files.SetFile(kLocalConfigSettings, FileEndingAfterUpAndDown());
  program.StartUp();
  joystickApi.Answer();
  program.WaitForDevices();

  const SettingsRecord& record = program.settings.record();
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const bool fromFile = c.shortFile && slot == 0;
    const KeyBinding defaults[] = {{c.source, c.up, 0}, {c.source, c.down, 0}};
    const KeyBinding loaded[] = {{0, 23, 0}, {0, 37, 0}};
    for (int position : {kUp, kDown}) {
      const KeyBinding expected = fromFile ? loaded[position] : defaults[position];
      const KeyBinding binding = LoadBinding(record.KeyMap(slot), 0, position);
      EXPECT_EQ(binding.source, expected.source) << "slot " << slot << " position " << position;
      EXPECT_EQ(binding.code, expected.code) << "slot " << slot << " position " << position;
    }
    const KeyBinding left = LoadBinding(record.KeyMap(slot), 0, kLeft);
    EXPECT_EQ(left.source, c.source) << "slot " << slot;
    EXPECT_EQ(left.code, c.left) << "slot " << slot;
  }
}

// The button-assignment dialog opened at once still shows joystick 1's defaults.
TEST(ProgramTest, KeyMapsReadBeforeTheDevicesAreReadyWaitForThem) {
  ProgramRig rig;
  rig.joystickApi.SetNumDevs(16);
  rig.joystickApi.SetJoystick(0, FakeJoystickApi::FullRange(), 32767, 32767, 0);
  rig.program.StartUp();
  rig.program.BeginButtonAssign();
  EXPECT_EQ(rig.program.buttonAssign.working()[kUp].source, 1);
  EXPECT_EQ(rig.program.buttonAssign.working()[kUp].code, 0x10000);
}

INSTANTIATE_TEST_SUITE_P(Joysticks, DefaultsTest, ::testing::ValuesIn(kDefaultsCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
