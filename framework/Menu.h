// CMenu: a popup menu that the object owns (destroyed with the object
// unless detached). Natively the handle is the address of a sim::SimMenu
// (platform/sim/SimMenu.h), so the simulated shell adds its entries to the
// very menu the view shows.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/Wnd.h"
#include "platform/Types.h"

class CMenu {
 public:
  CMenu() {}
  ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  bool CreatePopupMenu();
  // MF_STRING with an id and a text, or MF_SEPARATOR.
  bool AppendMenu(unsigned flags, unsigned id = 0, const char* text = nullptr);
  // -1 when there is no menu.
  int GetMenuItemCount() const;
  // The id of the entry at `position`; 0 for a separator, -1 for none.
  int GetMenuItemID(int position) const;
  // Copies the entry's text (always terminated): its length.
  int GetMenuString(unsigned id, char* buffer, int size) const;
  // MF_ENABLED or MF_GRAYED, MF_CHECKED or MF_UNCHECKED, by command (or
  // MF_BYPOSITION): the previous state, -1 when there is no such entry.
  int EnableMenuItem(unsigned item, unsigned flags);
  int CheckMenuItem(unsigned item, unsigned flags);
  // The entry's MF_ flags by command, -1 when there is none.
  int GetMenuState(unsigned id) const;
  // Makes entry `id` the default one (bold); -1 for none.
  bool SetDefaultItem(unsigned id);
  int GetDefaultItem() const;
  // Shows the menu at a screen point. With TPM_RETURNCMD the chosen id (0
  // when none was chosen); otherwise the choice is sent to `owner` as
  // WM_COMMAND and the result is nonzero on success.
  int TrackPopupMenu(unsigned flags, int x, int y, CWnd* owner);
  bool DestroyMenu();

  MenuHandle GetSafeHmenu() const { return handle; }
  // The popup menu at `position`, null-handled (0) when that entry opens
  // none.
  MenuHandle GetSubMenu(int position) const;
  void Attach(MenuHandle menu);
  MenuHandle Detach();

 private:
  MenuHandle handle = 0;
};
