#include "app/save_failure_win32.h"

#include <windows.h>

#include "dialogs/dialog_text_win32.h"
#include "settings/file_system_win32.h"
#include "settings/save_failure_message.h"

namespace cfg {

bool AskToRetrySave(const std::string& path, const FileFault& fault) {
  // The main dialog's WM_DESTROY posted WM_QUIT; a message box would take it
  // as its own end and return before it was seen.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  return MessageBoxCp932(nullptr, SaveFailureMessage(FullPath(path), fault), kSaveFailureCaption,
                         MB_ICONERROR | MB_RETRYCANCEL) == IDRETRY;
}

}  // namespace cfg
