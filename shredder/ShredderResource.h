// Dialog and control identifiers of tambShred.exe (its own resources, apart from the program's).
#pragma once

#define IDD_SHRED_CONFIRM 100
#define IDC_SHRED_QUESTION 101
#define IDC_SHRED_PATH 102
#define IDC_SHRED_WARNING 103

#define IDD_SHRED_PROGRESS 110
#define IDC_SHRED_CURRENT 111
#define IDC_SHRED_BAR 112
