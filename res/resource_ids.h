// Resource and control ids, grouped by dialog. Read by the resource compiler
// and by the C++ code alike, so plain #defines only.
#pragma once

#define IDI_APP_ICON 104

// Main settings dialog (template "INITIALPAGE").
#define IDC_CONFIRM 1
#define IDC_CANCEL 2
#define IDC_SCORE_RESET 3
#define IDC_SLOT_LIST 1000
#define IDC_KEY_CONFIG 1017
#define IDC_KEY_TEST 1034
#define IDC_START_640X480 1041
#define IDC_KEEP_320X240 1042
#define IDC_WINDOW_MODE 2104

// Button-assignment dialog (template 102).
#define IDD_BUTTON_ASSIGN 102
#define IDC_ASSIGN_OK 1
#define IDC_ASSIGN_CANCEL 2
#define IDC_ASSIGN_CONFIRM 1018
#define IDC_FIELD_UP 1030
#define IDC_FIELD_DOWN 1031
#define IDC_FIELD_LEFT 1032
#define IDC_FIELD_RIGHT 1020
#define IDC_FIELD_B1 1021
#define IDC_FIELD_B2 1022
#define IDC_FIELD_B3 1023
#define IDC_FIELD_B4 1024
#define IDC_LABEL_UP 1001
#define IDC_LABEL_DOWN 1002
#define IDC_LABEL_LEFT 1003
#define IDC_LABEL_RIGHT 1004
#define IDC_LABEL_B1 1005
#define IDC_LABEL_B2 1006
#define IDC_LABEL_B3 1007
#define IDC_LABEL_B4 1008

// Key test dialog (template 103).
#define IDD_KEY_TEST 103
#define IDC_KEY_TEST_HIDDEN 2101
#define IDC_KEY_STATE 2301
