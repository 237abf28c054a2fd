// Resource ids of Setup.exe, shared by Setup.rc and the code.
#pragma once

#define IDI_SETUP 1
#define IDD_SETUP_INSTALL 200
#define IDD_SETUP_REMOVE 201
#define IDC_SETUP_FOLDER 210
#define IDC_SETUP_NOTE 211
#define IDC_SETUP_REMOVE_TEXT 212
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
