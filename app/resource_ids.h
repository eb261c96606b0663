#pragma once
// Resource ids of the wizard's dialogs, bitmaps, icon and strings. Plain macros: the resource
// compiler reads this header too.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_KRT_UPGRADE_DIALOG 102

// Strings.
#define IDS_ABOUTBOX 101
#define IDS_DEVICE_MODEL 103
#define IDS_TOOL_VERSION 104

// Icon.
#define IDR_MAINFRAME 128

// Embedded packages.
#define IDR_FIRMWARE_IMAGE 132
#define IDR_DRIVER_PACKAGE 135

// Controls of the main dialog.
#define IDC_RADIO_LICENSE_ACCEPT 1000
#define IDC_RADIO_LICENSE_DECLINE 1001
#define IDC_BTN_EXIT 1002
#define IDC_BTN_NEXT 1003
#define IDC_BTN_BACK 1004
#define IDC_IMG_PRESS_START 1006
#define IDC_BTN_START 1008
#define IDC_IMG_UPDATING 1009
#define IDC_IMG_SUCCESS 1010
#define IDC_RADIO_NOTICE_ACCEPT 1011
#define IDC_RICH_LICENSE 1012
#define IDC_IMG_CONNECTED 1013
#define IDC_RADIO_NOTICE_DECLINE 1014
#define IDC_IMG_FAILED 1016
#define IDC_IMG_CABLE_SMALL 2030
#define IDC_PROGRESS 2031
#define IDC_IMG_CABLE_LARGE 2032
#define IDC_TEXT_RUN_PROGRESS 2033
#define IDC_TEXT_GUIDANCE 2034
#define IDC_BTN_SAVE_REPORT 2035
#define IDC_BTN_COPY_DETAILS 2036
// Not in the template: created at initialisation.
#define IDC_STATUS_BAR 2040

// Command id of the About item of the system menu.
#define IDM_ABOUTBOX 0x0010
// Command id of the system menu's item that saves the last run's support report.
#define IDM_SAVE_REPORT 0x0020
// The Language submenu: one command per language, 16 apart as system menu commands must be.
#define IDM_LANGUAGE_FIRST 0x0100
#define IDM_LANGUAGE_STEP 0x0010
#define MAX_MENU_LANGUAGES 48

// Page backgrounds, 1024 x 600.
#define IDB_PAGE_INTRO 136
#define IDB_PAGE_LICENSE 2001
#define IDB_PAGE_NOTICE 2002
#define IDB_PAGE_DOWNLOAD_MODE 2003
#define IDB_PAGE_CONNECT 2004
#define IDB_PAGE_COMPLETE 2006
#define IDB_PAGE_DOWNLOAD 2010

// Banners and drawings of the picture controls.
#define IDB_CABLE_LARGE 134
#define IDB_CONNECTED 143
#define IDB_CABLE_SMALL 145
#define IDB_FAILED 146
#define IDB_UPDATING 2025
#define IDB_PRESS_START 2026
#define IDB_SUCCESS 2027

// Button faces: normal, pressed, disabled.
#define IDB_BACK_NORMAL 2011
#define IDB_BACK_PRESSED 2012
#define IDB_NEXT_NORMAL 2013
#define IDB_NEXT_PRESSED 2014
#define IDB_NEXT_DISABLED 2015
#define IDB_EXIT_NORMAL 2016
#define IDB_EXIT_PRESSED 2017
#define IDB_LICENSE_ACCEPT_NORMAL 2018
#define IDB_LICENSE_ACCEPT_CHECKED 2019
#define IDB_LICENSE_DECLINE_NORMAL 2020
#define IDB_LICENSE_DECLINE_CHECKED 2021
#define IDB_START_NORMAL 2022
#define IDB_START_PRESSED 2023
#define IDB_START_DISABLED 2024
#define IDB_NOTICE_ACCEPT_NORMAL 138
#define IDB_NOTICE_ACCEPT_CHECKED 139
#define IDB_NOTICE_DECLINE_NORMAL 140
#define IDB_NOTICE_DECLINE_CHECKED 141
#define IDB_RESTART_NORMAL 147
#define IDB_RESTART_PRESSED 148
