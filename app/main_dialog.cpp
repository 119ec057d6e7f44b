#include "app/main_dialog.h"

#include "dialogs/modal_dialog.h"
#include "res/resource_ids.h"
#include "settings/display_options.h"
#include "settings/rankings.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace cfg {

// The dialog edits controller 1 only.
constexpr int kAssignedController = 0;

// "Config:" and the slot right-aligned in two places: one digit, so one
// blank. No printf: it would bring some 27 KB of mingw's formatting
// code into Config.exe.
std::string SlotListEntry(int slot) {
  static_assert(kSlotCount <= 10, "one digit per slot");
  return "Config: " + std::to_string(slot);
}

void MainDialog::OnInit(MainDialogView& view) {
  SettingsToDialog(view);
}

void MainDialog::OnConfirmed(MainDialogView& view) {
  program_.Confirm();
  view.Finish(kDialogConfirmed);
}

void MainDialog::OnCancelled(MainDialogView& view) {
  view.Finish(kDialogCancelled);
}

void MainDialog::OnScoreReset(MainDialogView& view) {
  const UiTexts& texts = TextsOf(language_);
  if (view.AskOkCancel(texts.scoreResetQuestion, texts.scoreResetCaption)) {
    ResetRankingTables(program_.record());
  }
}

void MainDialog::OnKeyTest(MainDialogView& view) {
  view.RunKeyTestDialog(program_.ReadyKeyTest());
}

void MainDialog::OnStart640x480Clicked(MainDialogView& view) {
  view.EnableControl(IDC_KEEP_320X240, view.IsChecked(IDC_START_640X480));
}

void MainDialog::OnDestroy(MainDialogView& view) {
  DialogToSettings(view);
}

void MainDialog::FillSlotList(MainDialogView& view) {
  view.ClearSlotList();
  for (int slot = 0; slot < kSlotCount; ++slot) view.AddSlotListEntry(SlotListEntry(slot));
  view.SelectSlotListEntry(program_.record().Int(record_offset::kCurrentSlot));
}

void MainDialog::SettingsToDialog(MainDialogView& view) {
  const DisplayOptions options = ReadDisplayOptions(program_.record());
  FillSlotList(view);
  view.SetCheck(IDC_WINDOW_MODE, options.windowMode);
  view.SetCheck(IDC_START_640X480, options.start640x480);
  view.SetCheck(IDC_KEEP_320X240, options.keep320x240);
  view.EnableControl(IDC_KEEP_320X240, options.start640x480);
}

void MainDialog::DialogToSettings(MainDialogView& view) {
  SettingsRecord& record = program_.record();
  DisplayOptions options;
  options.windowMode = view.IsChecked(IDC_WINDOW_MODE);
  options.start640x480 = view.IsChecked(IDC_START_640X480);
  // Stored even while the box is disabled: the game keeps it for later.
  options.keep320x240 = view.IsChecked(IDC_KEEP_320X240);
  WriteDisplayOptions(record, options);
  WriteFixedReadBackValues(record);
}

// The options live outside the slots, so they are stored before the switch
// and shown again after it.
void MainDialog::OnSlotChosen(MainDialogView& view) {
  DialogToSettings(view);
  program_.SelectSlot(view.SelectedSlotListEntry());
  SettingsToDialog(view);
}

void MainDialog::OnButtonAssign(MainDialogView& view) {
  ButtonAssign& model = program_.BeginButtonAssign(kAssignedController);
  program_.EndButtonAssign(view.RunButtonAssignDialog(model));
}

}  // namespace cfg
