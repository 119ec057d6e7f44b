// The main dialog on screen: the slot list, the check boxes and their enabled
// state, and what the player answers in the boxes and sub-dialogs it runs.
// Clicks reach the dialog as the platform sends them, and a dialog that has
// ended is destroyed once the message that ended it is handled.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "dialogs/modal_dialog.h"
#include "res/resource_ids.h"

namespace cfg::testing {

class FakeMainDialogView : public MainDialogView {
 public:
  explicit FakeMainDialogView(MainDialog& dialog) : dialog_(dialog) {}

  void Open() { dialog_.OnInit(*this); }
  // An enabled auto check box flips, then reports the click.
  void ClickCheck(int id) {
    if (!enabled(id)) return;
    checks_[id] = !checks_[id];
    Press(id);
  }
  void ChooseSlot(int index) {
    selected_ = index;
    Press(IDC_SLOT_LIST, kCbnSelChange);
  }
  // Id 0 is the close box.
  void Press(int id, int notification = 0) {
    id == 0 ? dialog_.OnClose(*this) : dialog_.OnCommand(*this, id, notification);
    if (!result_ || destroyed_) return;
    destroyed_ = true;
    dialog_.OnDestroy(*this);
  }

  bool scoreResetAnswer = false;
  std::function<int()> buttonAssignDialog = [] { return kDialogCancelled; };
  int keyTests = 0;

  const std::vector<std::string>& entries() const { return entries_; }
  int selected() const { return selected_; }
  bool enabled(int id) const { return enabled_.count(id) == 0 || enabled_.at(id); }
  std::optional<int> result() const { return result_; }
  bool destroyed() const { return destroyed_; }

  void ClearSlotList() override {
    entries_.clear();
    selected_ = -1;
  }
  void AddSlotListEntry(const std::string& text) override { entries_.push_back(text); }
  void SelectSlotListEntry(int index) override {
    selected_ = index >= 0 && index < static_cast<int>(entries_.size()) ? index : -1;
  }
  int SelectedSlotListEntry() const override { return selected_; }
  void SetCheck(int id, bool checked) override { checks_[id] = checked; }
  bool IsChecked(int id) const override { return checks_.count(id) != 0 && checks_.at(id); }
  void EnableControl(int id, bool enabled) override { enabled_[id] = enabled; }
  bool AskOkCancel(const std::string&, const std::string&) override { return scoreResetAnswer; }
  int RunButtonAssignDialog(ButtonAssign&) override { return buttonAssignDialog(); }
  int RunKeyTestDialog(KeyTest&) override {
    ++keyTests;
    return kDialogCancelled;
  }
  void Finish(int result) override { result_ = result; }

 private:
  MainDialog& dialog_;
  std::vector<std::string> entries_;
  int selected_ = -1;
  std::map<int, bool> checks_, enabled_;
  std::optional<int> result_;
  bool destroyed_ = false;
};

}  // namespace cfg::testing
