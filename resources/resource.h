// Resource identifiers of the program: string table, dialogs, controls, menus, bitmaps, icons.
#pragma once

#define IDR_MANIFEST 1
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
