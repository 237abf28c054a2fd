// Resource ids of Quobrill, shared by Quobrill.rc and the code.
#pragma once

#define IDB_SETUP 101
#define IDD_SETUP_COMPLETED 104
#define IDC_SETUP_PICTURE 108
#define IDC_FINISH 1000
#define IDC_RUN_PELMORA 1001
#define IDS_OPINION 110
// Controls nobody refers to.
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
