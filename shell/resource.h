// Resource and command ids of Kromva32, shared by Kromva32.rc and the code.
// The commands carry an IDM_ prefix so that this header can sit beside the
// views' own enums of the same commands (ID_EDIT_CLEAR ...) in one file.
#pragma once

// Main window: title string, menu, accelerators, icon, toolbar and its
// bitmap.
#define IDR_MAINFRAME 128
// The letter bar: toolbar and bitmap.
#define IDR_LETTERBAR 130

// Dialogs and their controls.
#define IDD_SET_LABEL 132
#define IDC_LABEL 1000
#define IDC_PROMPT 1001
#define IDD_SET_SERIAL 133
#define IDC_SERIAL_HIGH 1002
#define IDC_SERIAL_LOW 1003
#define IDD_OPTIONS 134
#define IDC_SAVE_BY_SERIAL 1005
#define IDC_SAVE_BY_LABEL 1006
#define IDD_DEVICE_PROPERTIES 135
#define IDC_DISCONNECT 1007
#define IDC_SYNC_DATA_TRANSFER 1008
#define IDC_AUTO_INSERT_NOTIFICATION 1009
#define IDC_REMOVABLE 1010
#define IDC_INT13 1011
#define IDC_DMA 1012
#define IDC_CURRENT_LETTERS 1013
#define IDC_DEVICE_ICON 1015
#define IDC_TARGET_ID 1016
#define IDC_LOGICAL_UNIT 1017
#define IDC_FIRMWARE_REVISION 1018
#define IDC_DEVICE_NAME 1021
#define IDC_DEVICE_TYPE 1022
#define IDC_MAX_LETTERS_SPIN 1039
#define IDC_MAX_LETTERS 1040
#define IDD_ABOUT 143
#define IDC_ABOUT_TITLE 1036
#define IDC_ABOUT_NOTICE 1037

// File menu.
#define IDM_FILE_SAVE 57603
#define IDM_FILE_DISABLE_AND_EXIT 32816
#define IDM_APP_EXIT 57665
// Edit menu.
#define IDM_EDIT_CLEAR 57632
#define IDM_EDIT_CLEAR_ALL 57633
#define IDM_EDIT_RESTORE_ORIGINAL 32817
// View menu; the toolbar and status bar commands are the bars' ids.
#define IDM_VIEW_TOOLBAR 59392
#define IDM_VIEW_LETTER_BAR 32948
#define IDM_VIEW_STATUS_BAR 59393
#define IDM_VIEW_REFRESH 32797
#define IDM_VIEW_OPTIONS 32812
// Tools menu.
#define IDM_TOOLS_SET_LABEL 32808
#define IDM_TOOLS_SET_SERIAL 32809
#define IDM_TOOLS_DEVICE_PROPERTIES 32813
// Help menu.
#define IDM_HELP_CONTENTS 32950
#define IDM_HELP_OPINION 32957
#define IDM_APP_ABOUT 57664

// The letter bar's buttons: IDM_LETTER_A + i is the letter 'A' + i.
#define IDM_LETTER_A 32771
#define IDM_LETTER_B 32772
#define IDM_LETTER_C 32773
#define IDM_LETTER_D 32774
#define IDM_LETTER_E 32775
#define IDM_LETTER_F 32776
#define IDM_LETTER_G 32777
#define IDM_LETTER_H 32778
#define IDM_LETTER_I 32779
#define IDM_LETTER_J 32780
#define IDM_LETTER_K 32781
#define IDM_LETTER_L 32782
#define IDM_LETTER_M 32783
#define IDM_LETTER_N 32784
#define IDM_LETTER_O 32785
#define IDM_LETTER_P 32786
#define IDM_LETTER_Q 32787
#define IDM_LETTER_R 32788
#define IDM_LETTER_S 32789
#define IDM_LETTER_T 32790
#define IDM_LETTER_U 32791
#define IDM_LETTER_V 32792
#define IDM_LETTER_W 32793
#define IDM_LETTER_X 32794
#define IDM_LETTER_Y 32795
#define IDM_LETTER_Z 32796

// The status bar's idle text.
#define IDS_READY 57345

// The type of a toolbar resource (the button size and the command of each
// button, as the framework's toolbars read it).
#define RT_TOOLBAR_DATA 241

// Controls nobody refers to.
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
