// Ids of the framework tests' dialog, shared by DialogTest.rc and the
// tests.
#pragma once

#define IDD_EXCHANGE 200
#define IDC_NAME 300
#define IDC_FLAG 301
#define IDC_COUNT 302
#define IDC_COUNT_SPIN 303
#define IDC_PICTURE 304
#define IDC_LABEL 305
