// KV.set of any size and content: loaded at start-up from the LocalConfig
// folder, shown by the main dialog, confirmed, read back and saved. The saved
// file is a whole record that keeps every byte the dialog does not own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "fuzz/fuzz_check.h"
#include "tests/app/fake_main_dialog_view.h"
#include "tests/app/program_rig.h"
#include "tests/support/read_back_check.h"

namespace cfg::testing {
namespace {

// The record after start-up when there is no KV.set at all.
const SettingsRecord& DefaultRecord() {
  static const SettingsRecord record = [] {
    ProgramRig rig;
    rig.program.StartUp();
    return rig.record();
  }();
  return record;
}

// The record the load should have produced: the file's first bytes over the defaults.
SettingsRecord Loaded(const uint8_t* data, size_t size) {
  SettingsRecord record = DefaultRecord();
  std::memcpy(record.bytes.data(), data, std::min(size, kSettingsRecordSize));
  return record;
}

}  // namespace
}  // namespace cfg::testing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  using namespace cfg::testing;
  ProgramRig rig;
  rig.files.SetFile(kLocalConfigSettings, std::vector<uint8_t>(data, data + size));
  rig.program.StartUp();
  const int32_t slot = rig.record().Int(record_offset::kCurrentSlot);
  FUZZ_CHECK(slot >= 0 && slot < kSlotCount);
  FUZZ_CHECK(rig.program.bindings.CurrentKeyMap() == rig.record().KeyMap(slot));

  MainDialog dialog(rig.program);
  FakeMainDialogView view(dialog);
  view.Open();
  FUZZ_CHECK(view.selected() == slot);
  view.Press(IDC_CONFIRM);
  FUZZ_CHECK(view.destroyed());
  FUZZ_CHECK(rig.program.ShutDown());

  const auto file = rig.files.FileBytes(kLocalConfigSettings);
  FUZZ_CHECK(file.has_value() && file->size() == kSettingsRecordSize);
  FUZZ_CHECK(rig.files.ListFiles().size() == 1);  // no temporary file left behind
  SettingsRecord saved;
  std::copy(file->begin(), file->end(), saved.bytes.begin());
  const std::string mismatch = ReadBackMismatch(Loaded(data, size), saved);
  if (!mismatch.empty()) std::fprintf(stderr, "%s\n", mismatch.c_str());
  FUZZ_CHECK(mismatch.empty());
  return 0;
}
