// KV.set of any size and content up to 8 KiB: loaded at start-up, confirmed in
// the main dialog and saved. The file is then one whole record that keeps every
// byte the dialog does not own: the loaded bytes over the defaults.
#include <algorithm>
#include <cstdio>

#include "app/main_dialog.h"
#include "fuzz/fuzz_check.h"
#include "tests/app/program_rig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  using namespace cfg::testing;
  static const SettingsRecord defaults = [] {
    ProgramRig rig;
    rig.program.StartUp();
    return rig.record();
  }();
  ProgramRig rig;
  rig.files.SetFile(kLocalConfigSettings, std::vector<uint8_t>(data, data + size));
  rig.program.StartUp();
  MainDialog dialog(rig.program, Language::kJapanese);
  FakeMainDialogView view(dialog);
  view.Open();
  view.Do(&MainDialog::OnConfirmed);
  FUZZ_CHECK(view.destroyed && rig.program.ShutDown());

  const auto file = rig.files.FileBytes(kLocalConfigSettings);
  FUZZ_CHECK(file.has_value() && file->size() == kSettingsRecordSize);
  FUZZ_CHECK(rig.files.Files().size() == 1);  // no temporary file left behind
  SettingsRecord loaded = defaults, saved;
  std::copy_n(data, std::min(size, kSettingsRecordSize), loaded.bytes.begin());
  std::copy(file->begin(), file->end(), saved.bytes.begin());
  const std::string mismatch = ReadBackMismatch(loaded, saved);
  if (!mismatch.empty()) std::fprintf(stderr, "%s\n", mismatch.c_str());
  FUZZ_CHECK(mismatch.empty());
  return 0;
}
