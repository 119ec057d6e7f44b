// What every modal sub-dialog shares: its polling period and its results.
#pragma once

namespace cfg {

constexpr int kTimerPeriodMs = 100;  // timer 1 of both sub-dialogs
constexpr int kDialogConfirmed = 1;
constexpr int kDialogCancelled = -1;  // cancel, Escape or the close box

}  // namespace cfg
