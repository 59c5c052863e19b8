// Resource ids of the screensaver, shared by the code and the resource script.
#pragma once

// Strings
#define IDS_DESCRIPTION        1     // the name the Display control panel lists
#define IDS_ABOUTBOX           101   // system-menu item of the options dialog

// Dialogs and their initialisation data (resource type 240)
#define IDD_ABOUTBOX           100
#define IDD_OPTIONS            102
#define RT_DLGINIT_DATA        240

// Icons and cursors
#define IDI_SAVER              128
#define IDC_LINK_HAND          104
#define IDC_INVISIBLE          129

// Controls of the options dialog
#define IDC_SYMMETRY_COMBO     1004
#define IDC_SPARKS_COMBO       1006
#define IDC_REFRESH_SLIDER     1009
#define IDC_GRAVITY_SLIDER     1010
#define IDC_BALLS_SLIDER       1011
#define IDC_BALLSIZE_SLIDER    1012
#define IDC_BALLS_LABEL        1013
#define IDC_REFRESH_LABEL      1014
#define IDC_BALLSIZE_LABEL     1015
#define IDC_PINSIZE_SLIDER     1016
#define IDC_WEB_LINK           1017
#define IDC_GRAVITY_LABEL      1018
#define IDC_PINSIZE_LABEL      1019
#define IDC_PINS_SLIDER        1020
#define IDC_PINS_LABEL         1021
#define IDC_DURATION_SLIDER    1022
#define IDC_DURATION_LABEL     1023
#define IDC_MONITORS_COMBO     1024
#define IDC_VERSION_LABEL      1026

// System-menu command that opens the About box
#define IDM_ABOUTBOX           16
