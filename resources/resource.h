// Resource identifiers of the program: string table, dialogs, controls, menus, bitmaps, icons.
#pragma once

#define IDR_MANIFEST 1
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDI_MAINFRAME 150

// String table (the texts are in Lorvex.rc). Numbers that are not listed are not used.
#define IDS_ABOUTBOX             125  // system-menu item of the About box
#define IDS_WORKER_RUNNING       126  // a scan or clean cannot start while a worker runs
#define IDS_CANNOT_QUIT_CLEANING 127  // quitting refused while a clean runs
#define IDS_RESET_STOP_FAILED    128  // the stop event could not be reset
#define IDS_ALREADY_RUNNING      131  // a second instance was started
#define IDS_CLEAN_CANCELLED      132  // status: cleaning cancelled
#define IDS_CLEAN_COMPLETED      134  // status: cleaning completed
#define IDS_WORKING              135  // status: a worker runs
#define IDS_APP_CAPTION          160  // caption of the main window and of the message boxes
#define IDS_NO_ITEM_CHECKED      161  // scan started without a checked item
#define IDS_DELETED_COUNT        162  // status: objects deleted
#define IDS_NOT_DELETED_COUNT    163  // status: objects not deleted
#define IDS_IGNORED_COOKIES      169  // status: cookies kept
#define IDS_CLEAN_REPORT         170  // report after a clean (CR LF lines)
#define IDS_OPTIONS_CAPTION      171  // caption of the options sheet
#define IDS_MAIN_HINT            177  // hint text of the main window
#define IDS_ITEMS_HINT           178  // hint text of the items dialog
#define IDS_WINDOWS_ITEMS_TITLE  188  // items dialog title, category 0
#define IDS_INTERNET_ITEMS_TITLE 189  // items dialog title, category 1
#define IDS_APPS_ITEMS_TITLE     190  // items dialog title, category 2
#define IDS_DESCRIPTION_HINT     191  // items dialog: how to see a description
#define IDS_NO_DESCRIPTION       192  // items dialog: item without description
#define IDS_ITEM_WARNING         193  // warning of a plug-in item: title, warning text
#define IDS_FOUND_COUNT          194  // status: objects found
#define IDS_CANNOT_QUIT_SCANNING 198  // quitting refused while a scan runs
#define IDS_SCANNING_ITEM        199  // status line: item being scanned
#define IDS_TOTAL_SIZE           200  // status: size of the objects found
#define IDS_FREED_SPACE          201  // status: space freed
#define IDS_SHRED_HINT           202  // shredding page text
#define IDS_LOG_HEADER           203  // text log header (CR LF lines)
#define IDS_LOG_FOOTER           204  // text log closing line (CR LF)
#define IDS_LOG_TOO_MANY_ROWS    206  // text log refused: too many rows
#define IDS_SCANNING_CUSTOM      208  // status line: custom search
#define IDS_CUSTOM_ITEMS_TITLE   210  // items dialog title, category 3
#define IDS_CUSTOM_ITEMS_WARNING 211  // warning on opening the custom items
#define IDS_CLEANING             212  // status line: cleaning
#define IDS_NOTHING_TO_CLEAN     213  // clean started without a ticked row
#define IDS_CLOSE_BROWSERS       215  // open browsers must be closed before a scan
#define IDS_SKIPPING_BROWSER     216  // status: skipping an open browser

// Dialog templates.
#define IDD_REPORT   110  // CMainReportDlg: report after a clean
#define IDD_WARNING  111  // CWarningMsgDlg: warning with "do not show again"
#define IDD_INPUT    113  // CSimpDataInputDlg: one line of text
#define IDD_ABOUTBOX 124  // About box
#define IDD_MAIN     126  // CMainDlg: the main window
#define IDD_SEL_ITEMS       107  // CSelItemsDlg: the items dialog
#define IDD_CREATE_EDIT_MOD 156  // CCreateEditModDlg: the custom-item editor
// Pages of the options sheet, in tab order.
#define IDD_GENERAL_PAGE      103  // CGeneralSettingsP: "常规"
#define IDD_ADVANCED_PAGE     104  // CAdvancedSettingsP: "高级"
#define IDD_SHREDDING_PAGE    108  // CShreddingSettingsP: "粉碎"
#define IDD_SCHEDULE_PAGE     109  // CScheduleSettingsP: "计划"
#define IDD_SAVE_COOKIES_PAGE 106  // CSaveCookiesP: "保存 Cookies"
#define IDD_KEEP_FILES_PAGE   112  // CKeepFilesP: "保存文件"

// Controls of the main window (126).
#define IDC_CLEAN              1000
#define IDC_OPTIONS            1001
#define IDC_HELP_MENU          1002
#define IDC_INFO_GROUP         1003
#define IDC_CATEGORY_WINDOWS   1004
#define IDC_CATEGORY_BROWSERS  1005
#define IDC_CATEGORY_APPS      1006
#define IDC_CATEGORY_CUSTOM    1007
#define IDC_ITEM_PROGRESS      1008
#define IDC_TOTAL_PROGRESS     1009
#define IDC_CURRENT_OPERATION  1010
#define IDC_CURRENT_OBJECT     1011
#define IDC_OPERATION_LABEL    1012
#define IDC_SCAN               1013
#define IDC_OBJECT_LABEL       1021
#define IDC_ITEM_PROGRESS_LABEL  1022
#define IDC_TOTAL_PROGRESS_LABEL 1023
#define IDC_CANCEL             1024
#define IDC_STATUSBAR          1026  // created at run time
#define IDC_HINT               1056
#define IDC_RESULTS            1058

// Controls of the report (110), warning (111), input (113) and About (124) dialogs.
#define IDC_REPORT_TEXT        1071
#define IDC_REPORT_COPY        1075
#define IDC_VERSION_HISTORY    1078
#define IDC_WARNING_OK         1085
#define IDC_WARNING_DONT_SHOW  1086
#define IDC_WARNING_ICON       1088
#define IDC_INPUT_CANCEL       1094
#define IDC_INPUT_OK           1095
#define IDC_INPUT_EDIT         1096
#define IDC_WARNING_TEXT       1100
#define IDC_ABOUT_ICON         1101
#define IDC_ABOUT_PRODUCT      1102
#define IDC_ABOUT_VERSION      1103

// Controls of the items dialog (107; its hint edit is IDC_HINT) and the custom-item editor (156).
#define IDC_CUSTOM_NAME         1028
#define IDC_ITEMS_LIST          1053
#define IDC_ITEMS_SAVE          1057
#define IDC_CUSTOM_COMMANDS     1058
#define IDC_ITEM_DESCRIPTION    1059
#define IDC_ITEMS_BACK          1067
#define IDC_ITEMS_FORWARD       1068
#define IDC_CUSTOM_FOLDER_LABEL 1080
#define IDC_CUSTOM_FOLDER       1081
#define IDC_CUSTOM_OK           1082
#define IDC_CUSTOM_CANCEL       1083
#define IDC_CUSTOM_PARAMS       1084

// Controls of the options pages (numbers repeat between pages). General page (103):
#define IDC_GEN_AUTOSTART        1041
#define IDC_GEN_REPORTS          1042
#define IDC_GEN_TRAY_ICON        1044
#define IDC_GEN_HIDE_UNDETECTED  1045
#define IDC_GEN_TASKBAR_ICON     1046
#define IDC_GEN_RESTORE_ON_WAKE  1047
#define IDC_GEN_START_ICONIZED   1048
#define IDC_GEN_MONTH_DAY_YEAR   1049
#define IDC_GEN_HIDE_GRIDLINES   1050
// Advanced page (104).
#define IDC_ADV_DELETE_AT_RESTART 1038
#define IDC_ADV_READ_ONLY         1039
#define IDC_ADV_HIDDEN            1040
#define IDC_ADV_OLD_TEMP_ONLY     1041
#define IDC_ADV_CLOSE_AFTER_CLEAN 1042
#define IDC_ADV_HIDE_WARNINGS     1043
// Shredding page (108): the five methods are one radio group, 1060..1064.
#define IDC_SHRED_HINT        1059
#define IDC_SHRED_NONE        1060
#define IDC_SHRED_DOD         1061
#define IDC_SHRED_NSA         1062
#define IDC_SHRED_GUTMANN     1063
#define IDC_SHRED_CUSTOM      1064
#define IDC_SHRED_PASSES      1066
#define IDC_SHRED_PASSES_SPIN 1067
// Schedule page (109): the six intervals are one radio group, 1060..1065.
#define IDC_SCHED_OFF           1060
#define IDC_SCHED_15_MINUTES    1061
#define IDC_SCHED_30_MINUTES    1062
#define IDC_SCHED_1_HOUR        1063
#define IDC_SCHED_8_HOURS       1064
#define IDC_SCHED_DAILY         1065
#define IDC_SCHED_AT_START      1072
#define IDC_SCHED_AT_SHUTDOWN   1073
#define IDC_SCHED_BROWSER_CLOSE 1074
// Cookie keep-list page (106).
#define IDC_COOKIES_KEEP        1043
#define IDC_COOKIES_SITES       1045
#define IDC_COOKIES_ADD         1046
#define IDC_COOKIES_ADD_ALL     1047
#define IDC_COOKIES_REMOVE      1049
#define IDC_COOKIES_REMOVE_ALL  1050
#define IDC_COOKIES_SITES_COUNT 1054
#define IDC_COOKIES_KEEP_COUNT  1055
// File keep-list page (112).
#define IDC_KEEP_FILES_ADD    1089
#define IDC_KEEP_FILES_EDIT   1090
#define IDC_KEEP_FILES_REMOVE 1091
#define IDC_KEEP_FILES_LIST   1092

// Menus and accelerators.
#define IDR_HELP_MENU   153  // pop-up of the Help button
#define IDR_TRAY_MENU   154  // tray icon menu
#define IDR_LIST_MENU   "ListCtrlMenu"  // results list context menu (a named resource)
#define IDR_MAIN_ACCEL  235  // accelerators of the main window
#define IDR_ITEMS_MENU        224  // items dialog context menu ("ListCtrl Menu")
#define IDR_CUSTOM_ITEMS_MENU 242  // items dialog custom-items commands ("CustomItemsCmdMenu")
#define IDR_ITEMS_ACCEL       234  // accelerators of the items dialog

// Bitmaps: category buttons (16 x 16, grey (192,192,192) background for LR_LOADMAP3DCOLORS) and the
// results list's check-box state images (16 wide each: unchecked, checked; mask colour blue).
#define IDB_WINDOWS_ITEMS 234
#define IDB_WEB_BROWSERS  235
#define IDB_APPLICATIONS  236
#define IDB_CUSTOM_ITEMS  241
#define IDB_CHECKBOXES    270

// Bitmaps of the items dialog: the item images (16 x 16, white is the mask colour; image k is bitmap
// IDB_ITEM_IMAGE_FIRST + k), its check-box state images (48 x 16: unchecked, checked, mixed; mask
// colour blue) and the back/forward picture buttons (22 x 18, grey (192,192,192) background for
// LR_LOADMAP3DCOLORS) in their active ("on") and nothing-to-do ("off") looks.
#define IDB_ITEM_IMAGE_FIRST 200   // item images 200..232, image k is bitmap 200 + k
#define IDB_ITEM_IMAGE_LAST  232
#define IDB_ITEM_STATES      233   // items dialog check boxes: unchecked, checked, mixed
#define IDB_NAV_BACK_ON      237   // back button, item mode
#define IDB_NAV_FORWARD_ON   238   // forward button, overview
#define IDB_NAV_FORWARD_OFF  239   // forward button, item mode / nothing to open
#define IDB_NAV_BACK_OFF     240   // back button, overview (nothing to go back to)

// Commands.
#define ID_HELP_CONTENTS  154
#define ID_HELP_HOMEPAGE  155
#define ID_HELP_FORUM     156
#define ID_HELP_ABOUT     157
#define ID_TRAY_RESTORE   218
#define ID_TRAY_MINIMIZE  219
#define ID_TRAY_CLEANNOW  220
#define ID_TRAY_EXIT      221
#define ID_LIST_CHECK_ALL           226
#define ID_LIST_UNCHECK_ALL         227
#define ID_LIST_INVERT_ALL          228
#define ID_LIST_CHECK_HIGHLIGHTED   229
#define ID_LIST_UNCHECK_HIGHLIGHTED 230
#define ID_LIST_INVERT_HIGHLIGHTED  231
#define ID_LIST_CLEAR_STATS         242
#define ID_LIST_SAVE_TEXT           243
#define ID_LIST_OPEN                244
#define ID_LIST_OPEN_WITH           245
#define ID_CUSTOM_FOLDER  257
#define ID_CUSTOM_NEW     258
#define ID_CUSTOM_EDIT    259
#define ID_CUSTOM_DELETE  260
#define IDM_ABOUTBOX      16     // system-menu item of the About box
#define ID_HELP           57670  // the framework's help command (0xE146)
