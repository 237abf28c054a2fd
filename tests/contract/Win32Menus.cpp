// Real popup menus for the wine build's contract world.
#include "tests/contract/Win32Menus.h"

#include <windows.h>

MenuHandle CreateWin32TestMenu() {
  return reinterpret_cast<MenuHandle>(::CreatePopupMenu());
}

int Win32TestMenuCount(MenuHandle menu) {
  return ::GetMenuItemCount(reinterpret_cast<HMENU>(menu));
}

void DestroyWin32TestMenu(MenuHandle menu) {
  ::DestroyMenu(reinterpret_cast<HMENU>(menu));
}
