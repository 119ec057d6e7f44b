// KV.set files that no earlier run would have written: wrong sizes, a current
// slot outside 0-4, bindings with sources and codes that name nothing. The
// program opens them, shows what it can in the main dialog and the
// button-assignment dialog, and a confirmed run writes back a whole record in
// which only the dialog's own fields changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/read_back_check.h"

namespace cfg::testing {
namespace {

constexpr uint32_t kHandlerWord = 0x12345678;

// Bytes that differ from their neighbours, so a lost or moved byte shows.
std::vector<uint8_t> SizedFile(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + 5);
  return bytes;
}

std::vector<uint8_t> WithCurrentSlot(int32_t slot) {
  SettingsRecord record = SavedRecord();
  record.SetInt(record_offset::kCurrentSlot, slot);
  return Image(record);
}

// Controller 1's UP binding in slot 0.
std::vector<uint8_t> WithUpBinding(int32_t source, int32_t code) {
  SettingsRecord record = SavedRecord();
  StoreBinding(record.KeyMap(0), 0, kUp, KeyBinding{source, code, kHandlerWord});
  return Image(record);
}

struct BadFileCase {
  const char* name;
  std::vector<uint8_t> file;
  std::optional<std::string> upText;  // what the UP field shows, when the case is about it
};

const BadFileCase kBadFiles[] = {
    {"Empty", SizedFile(0), std::nullopt},
    {"OneByte", SizedFile(1), std::nullopt},
    {"OneByteShort", SizedFile(kSettingsRecordSize - 1), std::nullopt},
    {"OneByteLong", SizedFile(kSettingsRecordSize + 1), std::nullopt},
    {"OneMebibyte", SizedFile(1 << 20), std::nullopt},
    {"SlotMinusOne", WithCurrentSlot(-1), "\x81\xAA"},
    {"SlotFive", WithCurrentSlot(5), "\x81\xAA"},
    {"SlotIntMax", WithCurrentSlot(0x7FFFFFFF), "\x81\xAA"},
    {"SourceMinusOne", WithUpBinding(-1, 0x10000), "PAD-1:UP"},
    {"SourceFive", WithUpBinding(5, 0x10000), "PAD5:UP"},
    {"Source1000", WithUpBinding(1000, 0x10000), "PAD1000:UP"},
    {"KeyCode300", WithUpBinding(0, 300), ""},
    {"KeyCodeMinusOne", WithUpBinding(0, -1), ""},
};

void PrintTo(const BadFileCase& c, std::ostream* os) {
  *os << c.name;
}

// The record after start-up with no KV.set at all.
SettingsRecord DefaultRecord() {
  ProgramRig rig;
  rig.program.StartUp();
  return rig.record();
}

// What the load should give: the file's first bytes over the defaults.
SettingsRecord Loaded(const std::vector<uint8_t>& file) {
  SettingsRecord record = DefaultRecord();
  std::copy_n(file.begin(), std::min(file.size(), kSettingsRecordSize), record.bytes.begin());
  return record;
}

class BadSettingsFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadSettingsFileTest, OpensShowsAndSavesAWholeRecordKeepingTheGamesBytes) {
  const BadFileCase& c = GetParam();
  ProgramRig rig;
  rig.files.SetFile(kLocalConfigSettings, c.file);
  rig.program.StartUp();

  MainDialog dialog(rig.program);
  FakeMainDialogView view(dialog);
  std::string upText;
  view.buttonAssignDialog = [&] {
    FakeButtonAssignView assign(rig.program.buttonAssign);
    assign.Open();
    upText = assign.text(IDC_FIELD_UP);
    assign.Press(IDC_ASSIGN_OK);
    return assign.result().value_or(0);
  };
  view.Open();
  view.Press(IDC_KEY_CONFIG);
  view.Press(IDC_CONFIRM);
  ASSERT_TRUE(view.destroyed());
  EXPECT_TRUE(rig.program.ShutDown());

  const std::optional<std::vector<uint8_t>> file = rig.files.FileBytes(kLocalConfigSettings);
  ASSERT_TRUE(file.has_value());
  ASSERT_EQ(file->size(), kSettingsRecordSize);
  SettingsRecord saved;
  std::copy(file->begin(), file->end(), saved.bytes.begin());
  EXPECT_EQ(ReadBackMismatch(Loaded(c.file), saved), "");
  if (c.upText) {
    EXPECT_EQ(upText, *c.upText);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BadSettingsFileTest, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
