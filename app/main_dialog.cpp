#include "app/main_dialog.h"

#include "dialogs/modal_dialog.h"
#include "res/resource_ids.h"
#include "settings/display_options.h"
#include "settings/rankings.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace cfg {

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

void MainDialog::OnCommand(MainDialogView& view, int id, int notification) {
  switch (id) {
    case IDC_CONFIRM:
      program_.confirmFlag = 1;
      view.Finish(kDialogConfirmed);
      break;
    case IDC_CANCEL:
      view.Finish(kDialogCancelled);
      break;
    case IDC_SCORE_RESET:
      if (view.AskOkCancel(kScoreResetQuestion, kScoreResetCaption)) {
        ResetRankingTables(program_.settings.record());
      }
      break;
    case IDC_SLOT_LIST:
      if (notification == kCbnSelChange) SwitchSlot(view);
      break;
    case IDC_KEY_CONFIG:
      OpenButtonAssignDialog(view);
      break;
    case IDC_KEY_TEST:
      program_.WaitForDevices();
      view.RunKeyTestDialog(program_.keyTest);
      break;
    case IDC_START_640X480:
      view.EnableControl(IDC_KEEP_320X240, view.IsChecked(IDC_START_640X480));
      break;
    default:
      break;
  }
}

void MainDialog::OnClose(MainDialogView& view) {
  view.Finish(kDialogCancelled);
}

void MainDialog::OnDestroy(MainDialogView& view) {
  DialogToSettings(view);
}

void MainDialog::FillSlotList(MainDialogView& view) {
  view.ClearSlotList();
  for (int slot = 0; slot < kSlotCount; ++slot) view.AddSlotListEntry(SlotListEntry(slot));
  view.SelectSlotListEntry(program_.settings.record().Int(record_offset::kCurrentSlot));
}

void MainDialog::SettingsToDialog(MainDialogView& view) {
  const DisplayOptions options = ReadDisplayOptions(program_.settings.record());
  FillSlotList(view);
  view.SetCheck(IDC_WINDOW_MODE, options.windowMode);
  view.SetCheck(IDC_START_640X480, options.start640x480);
  view.SetCheck(IDC_KEEP_320X240, options.keep320x240);
  view.EnableControl(IDC_KEEP_320X240, options.start640x480);
}

void MainDialog::DialogToSettings(MainDialogView& view) {
  SettingsRecord& record = program_.settings.record();
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
void MainDialog::SwitchSlot(MainDialogView& view) {
  DialogToSettings(view);
  program_.settings.SelectConfigSlot(view.SelectedSlotListEntry());
  SettingsToDialog(view);
}

void MainDialog::OpenButtonAssignDialog(MainDialogView& view) {
  program_.assignController = 0;
  program_.BeginButtonAssign();
  program_.EndButtonAssign(view.RunButtonAssignDialog(program_.buttonAssign));
}

}  // namespace cfg
