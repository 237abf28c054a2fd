// Plain types shared by the seam's interfaces; safe to include beside
// <windows.h>.
#pragma once
#include <stddef.h>
#include <stdint.h>

// An open registry key (HKEY) as a number, so portable code needs no
// Windows header.
typedef uintptr_t RegKey;

// A window (HWND) as a number; 0 is "no window".
typedef uintptr_t WindowHandle;

// A FILETIME as one 64-bit count of 100 ns units since 1601.
typedef uint64_t FileTime;

// An open device (a HANDLE from CreateFileA) as a number.
typedef uintptr_t DeviceHandle;

// A menu (HMENU) as a number; 0 is "no menu". Natively it is the address
// of a sim::SimMenu.
typedef uintptr_t MenuHandle;

// An icon (HICON) as a number; 0 is "no icon".
typedef uintptr_t IconHandle;
