/* Resource ids of K7_Setting.exe; shared by the resource scripts and the code. */
#pragma once

#define IDI_APP 128
#define IDI_CONFIG 129
#define IDI_CONFIG_HOT 130
#define IDI_EXIT 131
#define IDI_EXIT_HOT 132
#define IDD_COMBWARN 133
#define IDB_PNG_PRESSED 137
#define IDB_PNG_BACKGROUND 138
#define IDB_PNG_HOVER 139
