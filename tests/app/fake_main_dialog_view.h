// A model of the main dialog on screen: the slot list, the check boxes and
// their enabled state, and the boxes and sub-dialogs it runs. The player's
// clicks go to the dialog as the platform would send them, and a dialog that
// has ended is destroyed once the message that ended it is handled.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "res/resource_ids.h"

namespace cfg::testing {

constexpr int kBnClicked = 0;
constexpr int kCbnDropDown = 7;

class FakeMainDialogView : public MainDialogView {
 public:
  explicit FakeMainDialogView(MainDialog& dialog) : dialog_(dialog) {}

  void Open() { dialog_.OnInit(*this); }
  // An enabled auto check box flips, then reports the click.
  void ClickCheck(int id) {
    if (!enabled(id)) return;
    checks_[id] = !checks_[id];
    Send(id, kBnClicked);
  }
  void Press(int id) { Send(id, kBnClicked); }
  void ChooseSlot(int index, int notification = kCbnSelChange) {
    selected_ = index;
    Send(IDC_SLOT_LIST, notification);
  }
  void CloseBox() {
    dialog_.OnClose(*this);
    DestroyIfFinished();
  }

  // What the player answers and does in the boxes and sub-dialogs.
  bool scoreResetAnswer = false;
  std::function<int()> buttonAssignDialog = [] { return kDialogCancelled; };
  std::function<int()> keyTestDialog = [] { return kDialogCancelled; };

  const std::vector<std::string>& entries() const { return entries_; }
  int selected() const { return selected_; }
  bool checked(int id) const {
    const auto found = checks_.find(id);
    return found != checks_.end() && found->second;
  }
  bool enabled(int id) const {
    const auto found = enabled_.find(id);
    return found == enabled_.end() || found->second;
  }
  std::optional<int> result() const { return result_; }
  bool destroyed() const { return destroyed_; }
  int scoreResetQuestions() const { return scoreResetQuestions_; }

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
  bool IsChecked(int id) const override { return checked(id); }
  void EnableControl(int id, bool enabled) override { enabled_[id] = enabled; }
  bool AskOkCancel(const std::string& question, const std::string&) override {
    if (question == kScoreResetQuestion) ++scoreResetQuestions_;
    return scoreResetAnswer;
  }
  int RunButtonAssignDialog(ButtonAssign&) override { return buttonAssignDialog(); }
  int RunKeyTestDialog(KeyTest&) override { return keyTestDialog(); }
  void Finish(int result) override { result_ = result; }

 private:
  void Send(int id, int notification) {
    dialog_.OnCommand(*this, id, notification);
    DestroyIfFinished();
  }
  void DestroyIfFinished() {
    if (!result_ || destroyed_) return;
    destroyed_ = true;
    dialog_.OnDestroy(*this);
  }

  MainDialog& dialog_;
  std::vector<std::string> entries_;
  int selected_ = -1;
  std::map<int, bool> checks_;
  std::map<int, bool> enabled_;
  std::optional<int> result_;
  bool destroyed_ = false;
  int scoreResetQuestions_ = 0;
};

}  // namespace cfg::testing
