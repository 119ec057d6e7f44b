// A dialog's state comes with DialogBoxParamW's parameter and stays in the
// dialog's user data.
#pragma once

#include <windows.h>

#include <cstddef>

#include "settings/ui_language.h"

namespace cfg {

// The model handed to DialogBoxParamW; null for the messages that come
// before WM_INITDIALOG.
template <class Model>
Model* DialogModel(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
  return reinterpret_cast<Model*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// Runs the template `name` of the language's resources modally. Chosen by
// hand: DialogBoxParamW would take the system's language, not the player's.
inline INT_PTR DialogBoxInLanguage(HINSTANCE instance, const wchar_t* name, Language language,
                                   HWND owner, DLGPROC procedure, LPARAM parameter) {
  // In Language's order; the resource file's LANGUAGE statements.
  static constexpr WORD kResourceLanguages[] = {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
                                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
  const HRSRC found =
      FindResourceExW(instance, RT_DIALOG, name, kResourceLanguages[static_cast<size_t>(language)]);
  const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(
      found == nullptr ? nullptr : LockResource(LoadResource(instance, found)));
  return DialogBoxIndirectParamW(instance, dialogTemplate, owner, procedure, parameter);
}

// Runs a dialog of this program's resources modally over `model`.
template <class Model>
int RunModelDialog(HWND owner, int templateId, Language language, DLGPROC procedure, Model& model) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  return static_cast<int>(DialogBoxInLanguage(instance, MAKEINTRESOURCEW(templateId), language,
                                              owner, procedure, reinterpret_cast<LPARAM>(&model)));
}

}  // namespace cfg
