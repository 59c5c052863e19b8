// Resource ids of the installer, shared by the code and the resource script.
#pragma once

// Strings
#define IDS_DISPLAY_NAME   1    // the saver's name, also the uninstall key's name
#define IDS_FILE_NAME      2    // the screensaver's file name in the Windows directory

// Icons and cursors
#define IDI_INSTALLER      1    // the program's own icon
#define IDI_WELCOME        104  // shown in the welcome dialog
#define IDCUR_LINK_HAND    117  // over the web link

// Welcome dialog and its controls
#define IDD_WELCOME        105
#define IDC_WEB_LINK       1000
#define IDC_THANKS         1001
#define IDC_FREEWARE       1002

// The payload: the screensaver executable as raw data
#define PAYLOAD_NAME       "RESOURCE_SAVER"
