// CMenu over a real popup menu (HMENU).
#include "framework/Menu.h"

#include <string.h>

#include "framework/win32/Win32Wnd.h"

namespace {

HMENU ToMenu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

// A menu already held is kept: creating over it fails.
bool CMenu::CreatePopupMenu() {
  if (handle != 0) return false;
  handle = reinterpret_cast<MenuHandle>(::CreatePopupMenu());
  return handle != 0;
}

bool CMenu::AppendMenu(unsigned flags, unsigned id, const char* text) {
  if (handle == 0) return false;
  return AppendMenuA(ToMenu(handle), flags, id, text) != 0;
}

int CMenu::GetMenuItemCount() const {
  if (handle == 0) return -1;
  return ::GetMenuItemCount(ToMenu(handle));
}

int CMenu::GetMenuItemID(int position) const {
  if (handle == 0) return -1;
  // (UINT)-1 for a submenu or no entry at all.
  return static_cast<int>(::GetMenuItemID(ToMenu(handle), position));
}

int CMenu::GetMenuString(unsigned id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (handle == 0) return 0;
  GetMenuStringA(ToMenu(handle), id, buffer, size, MF_BYCOMMAND);
  buffer[size - 1] = '\0';
  return static_cast<int>(strlen(buffer));
}

bool CMenu::SetDefaultItem(unsigned id) {
  if (handle == 0) return false;
  return SetMenuDefaultItem(ToMenu(handle), id, FALSE) != 0;
}

int CMenu::GetDefaultItem() const {
  if (handle == 0) return -1;
  return static_cast<int>(GetMenuDefaultItem(ToMenu(handle), FALSE, 0));
}

int CMenu::TrackPopupMenu(unsigned flags, int x, int y, CWnd* owner) {
  if (handle == 0) return 0;
  return ::TrackPopupMenu(ToMenu(handle), flags, x, y, 0, HwndOf(owner),
                          nullptr);
}

bool CMenu::DestroyMenu() {
  if (handle == 0) return false;
  const bool ok = ::DestroyMenu(ToMenu(handle)) != 0;
  handle = 0;
  return ok;
}

void CMenu::Attach(MenuHandle menu) {
  if (menu == handle) return;
  // The object owns one menu at a time; the one it held goes.
  DestroyMenu();
  handle = menu;
}

MenuHandle CMenu::Detach() {
  const MenuHandle menu = handle;
  handle = 0;
  return menu;
}

int CMenu::EnableMenuItem(unsigned item, unsigned flags) {
  if (handle == 0) return -1;
  return static_cast<int>(::EnableMenuItem(ToMenu(handle), item, flags));
}

int CMenu::CheckMenuItem(unsigned item, unsigned flags) {
  if (handle == 0) return -1;
  return static_cast<int>(::CheckMenuItem(ToMenu(handle), item, flags));
}

int CMenu::GetMenuState(unsigned id) const {
  if (handle == 0) return -1;
  return static_cast<int>(::GetMenuState(ToMenu(handle), id, MF_BYCOMMAND));
}

MenuHandle CMenu::GetSubMenu(int position) const {
  if (handle == 0) return 0;
  return reinterpret_cast<MenuHandle>(::GetSubMenu(ToMenu(handle), position));
}
