#include "app/save_failure_win32.h"

#include "settings/file_system_win32.h"
#include "settings/save_failure_message.h"
#include "settings/text_codec_win32.h"

namespace cfg {

bool AskToRetrySave(HWND owner, const std::string& path, const FileFault& fault,
                    Language language) {
  // The main dialog's WM_DESTROY posted WM_QUIT; a message box would take it
  // as its own end and return before it was seen.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  FileFault shown = fault;
  if (!shown.keptAt.empty()) shown.keptAt = FullPath(shown.keptAt);
  const SaveFailureText text = SaveFailureMessage(FullPath(path), shown, language);
  std::wstring wide = WideFromCp932(text.head);
  if (!text.systemText.empty()) wide += WideFromUtf8(text.systemText) + L"\n";
  wide += WideFromCp932(text.tail);
  const UINT buttons = CanRetrySave(fault) ? MB_RETRYCANCEL : MB_OK;
  // Without the foreground the box could open behind other windows.
  return MessageBoxW(owner, wide.c_str(),
                     WideFromCp932(TextsOf(language).saveFailureCaption).c_str(),
                     MB_ICONERROR | MB_SETFOREGROUND | buttons) == IDRETRY;
}

}  // namespace cfg
