#pragma once
// Resources of the launcher and the about box: templates, controls, icon and cursor.

#define IDD_ABOUTBOX 100
#define IDD_LAUNCHER 102
#define IDI_APP 128
#define IDC_HAND_CURSOR 138

// Launcher controls (template 102).
#define IDC_WEB_LINK 1013
#define IDC_BTN_NOTES 1023
#define IDC_BTN_EXIT 1024
#define IDC_BTN_DRIVER 1025
#define IDC_TITLE_TEXT 1030
#define IDC_VERSION_TEXT 1031

// System-menu command that opens the about box.
#define IDM_ABOUTBOX 0x0010
