// The main settings dialog: display options, slot list, and the ways out.
#pragma once

#include <string>

#include "app/program.h"

namespace cfg {

constexpr int kCbnSelChange = 1;

// "Config: 0" ... "Config: 4".
std::string SlotListEntry(int slot);

// The confirmation box of "スコア初期化".
constexpr char kScoreResetQuestion[] = "スコアを初期化しますか？";
constexpr char kScoreResetCaption[] = "スコア初期化の確認";

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
  explicit MainDialog(Program& program) : program_(program) {}

  void OnInit(MainDialogView& view);
  void OnCommand(MainDialogView& view, int id, int notification);
  void OnClose(MainDialogView& view);
  void OnDestroy(MainDialogView& view);

  void FillSlotList(MainDialogView& view);
  void SettingsToDialog(MainDialogView& view);
  void DialogToSettings(MainDialogView& view);

 private:
  void SwitchSlot(MainDialogView& view);
  void OpenButtonAssignDialog(MainDialogView& view);

  Program& program_;
};

}  // namespace cfg
