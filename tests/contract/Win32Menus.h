// Real popup menus for the wine build's contract world (Win32Menus.cpp),
// kept apart because Win32World.cpp uses the portable constants and so
// cannot include <windows.h>.
#pragma once
#include "platform/Types.h"

MenuHandle CreateWin32TestMenu();
int Win32TestMenuCount(MenuHandle menu);
void DestroyWin32TestMenu(MenuHandle menu);
