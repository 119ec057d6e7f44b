// The main settings dialog: display options, slot list, and the ways out.
#pragma once

#include <string>

#include "app/program.h"
#include "settings/ui_language.h"

namespace cfg {

// "Config: 0" ... "Config: 4".
std::string SlotListEntry(int slot);

class MainDialogView {
 public:
  virtual ~MainDialogView() = default;
  virtual void ClearSlotList() = 0;
  virtual void AddSlotListEntry(const std::string& text) = 0;
  virtual void SelectSlotListEntry(int index) = 0;
  virtual int SelectedSlotListEntry() const = 0;  // -1 when none
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  // A box with OK and Cancel; true for OK.
  virtual bool AskOkCancel(const std::string& question, const std::string& caption) = 0;
  // Runs a sub-dialog modally over its model; its result.
  virtual int RunButtonAssignDialog(ButtonAssign& model) = 0;
  virtual int RunKeyTestDialog(KeyTest& model) = 0;
  virtual void Finish(int result) = 0;
};

class MainDialog {
 public:
  // The dialogs and boxes it opens speak `language`.
  MainDialog(Program& program, Language language) : program_(program), language_(language) {}

  Language language() const { return language_; }

  // Dialog events; the Win32 procedure translates the platform's messages.
  void OnInit(MainDialogView& view);
  void OnConfirmed(MainDialogView& view);  // "設定する"
  void OnCancelled(MainDialogView& view);  // "キャンセル" or the close box
  void OnScoreReset(MainDialogView& view);
  void OnSlotChosen(MainDialogView& view);  // another entry in the slot list
  void OnButtonAssign(MainDialogView& view);
  void OnKeyTest(MainDialogView& view);
  void OnStart640x480Clicked(MainDialogView& view);
  void OnDestroy(MainDialogView& view);

  void FillSlotList(MainDialogView& view);
  void SettingsToDialog(MainDialogView& view);
  void DialogToSettings(MainDialogView& view);

 private:
  Program& program_;
  Language language_;
};

}  // namespace cfg
