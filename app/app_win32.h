// The objects that live for the whole run, shared by WinMain and the dialog
// procedures.
#pragma once

#include <windows.h>

#include "app/main_dialog.h"
#include "app/program.h"

namespace cfg {

Program& TheProgram();
MainDialog& TheMainDialog();

// AppInstance: where the dialogs load their templates and the icon from; set
// just before the main dialog runs.
HINSTANCE AppInstance();

}  // namespace cfg
