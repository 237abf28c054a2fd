// CMenu over the simulated machine's menus; TrackPopupMenu asks the
// world's menu user for the choice and records the menu as shown.
#include "framework/Menu.h"

#include <string.h>

#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "platform/sim/SimMenu.h"

using headless::Windows;

namespace {

sim::SimMenu* MenuOf(MenuHandle handle) {
  return reinterpret_cast<sim::SimMenu*>(handle);
}

const sim::SimMenuEntry* EntryOf(const sim::SimMenu* menu, unsigned id) {
  if (menu == nullptr) return nullptr;
  for (const sim::SimMenuEntry& e : menu->entries)
    if (!(e.flags & MF_SEPARATOR) && e.id == id) return &e;
  return nullptr;
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

bool CMenu::CreatePopupMenu() {
  if (handle != 0) return false;
  handle = reinterpret_cast<MenuHandle>(new sim::SimMenu);
  return true;
}

bool CMenu::AppendMenu(unsigned flags, unsigned id, const char* text) {
  sim::SimMenu* menu = MenuOf(handle);
  if (menu == nullptr) return false;
  if (flags & MF_SEPARATOR)
    menu->entries.push_back({0, "", flags});
  else
    menu->entries.push_back({id, text ? text : "", flags});
  return true;
}

int CMenu::GetMenuItemCount() const {
  const sim::SimMenu* menu = MenuOf(handle);
  return menu ? static_cast<int>(menu->entries.size()) : -1;
}

int CMenu::GetMenuItemID(int position) const {
  const sim::SimMenu* menu = MenuOf(handle);
  if (menu == nullptr || position < 0 ||
      position >= static_cast<int>(menu->entries.size()))
    return -1;
  const sim::SimMenuEntry& e = menu->entries[position];
  return (e.flags & MF_SEPARATOR) ? 0 : static_cast<int>(e.id);
}

int CMenu::GetMenuString(unsigned id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  const sim::SimMenuEntry* e = EntryOf(MenuOf(handle), id);
  if (e == nullptr) return 0;
  const size_t n = e->text.size() < static_cast<size_t>(size - 1)
                       ? e->text.size()
                       : static_cast<size_t>(size - 1);
  memcpy(buffer, e->text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

namespace {

// The entry by command, or by position with MF_BYPOSITION.
sim::SimMenuEntry* Item(sim::SimMenu* menu, unsigned item, unsigned flags) {
  if (menu == nullptr) return nullptr;
  if (flags & MF_BYPOSITION)
    return item < menu->entries.size() ? &menu->entries[item] : nullptr;
  for (sim::SimMenuEntry& e : menu->entries)
    if (!(e.flags & (MF_SEPARATOR | MF_POPUP)) && e.id == item) return &e;
  return nullptr;
}

}  // namespace

int CMenu::EnableMenuItem(unsigned item, unsigned flags) {
  sim::SimMenuEntry* e = Item(MenuOf(handle), item, flags);
  if (e == nullptr) return -1;
  const int previous = static_cast<int>(e->flags & MF_GRAYED);
  e->flags = (e->flags & ~static_cast<unsigned>(MF_GRAYED | MF_DISABLED)) |
             (flags & (MF_GRAYED | MF_DISABLED));
  return previous;
}

int CMenu::CheckMenuItem(unsigned item, unsigned flags) {
  sim::SimMenuEntry* e = Item(MenuOf(handle), item, flags);
  if (e == nullptr) return -1;
  const int previous = static_cast<int>(e->flags & MF_CHECKED);
  e->flags =
      (e->flags & ~static_cast<unsigned>(MF_CHECKED)) | (flags & MF_CHECKED);
  return previous;
}

int CMenu::GetMenuState(unsigned id) const {
  const sim::SimMenuEntry* e = Item(MenuOf(handle), id, MF_BYCOMMAND);
  return e ? static_cast<int>(e->flags) : -1;
}

MenuHandle CMenu::GetSubMenu(int position) const {
  const sim::SimMenu* menu = MenuOf(handle);
  if (menu == nullptr || position < 0 ||
      position >= static_cast<int>(menu->entries.size()))
    return 0;
  return reinterpret_cast<MenuHandle>(menu->entries[position].popup);
}

bool CMenu::SetDefaultItem(unsigned id) {
  sim::SimMenu* menu = MenuOf(handle);
  if (menu == nullptr) return false;
  if (id == static_cast<unsigned>(-1)) {
    menu->defaultId = -1;
    return true;
  }
  if (EntryOf(menu, id) == nullptr) return false;
  menu->defaultId = static_cast<int>(id);
  return true;
}

int CMenu::GetDefaultItem() const {
  const sim::SimMenu* menu = MenuOf(handle);
  return menu ? menu->defaultId : -1;
}

int CMenu::TrackPopupMenu(unsigned flags, int x, int y, CWnd* owner) {
  sim::SimMenu* menu = MenuOf(handle);
  if (menu == nullptr) return 0;
  Windows& world = Windows::Get();
  headless::ShownMenu shown;
  for (const sim::SimMenuEntry& e : menu->entries)
    shown.entries.push_back({(e.flags & MF_SEPARATOR) ? 0u : e.id, e.text});
  shown.defaultId = menu->defaultId;
  shown.flags = flags;
  shown.point = CPoint(x, y);
  int chosen = world.NextMenuChoice();
  const sim::SimMenuEntry* entry =
      chosen > 0 ? EntryOf(menu, static_cast<unsigned>(chosen)) : nullptr;
  if (chosen != 0 && (entry == nullptr || (entry->flags & MF_GRAYED))) {
    world.Fail("menu choice " + std::to_string(chosen) +
               " is not an enabled entry of the menu shown");
    chosen = 0;
  }
  shown.chosen = chosen;
  world.shownMenus.push_back(shown);
  if (flags & TPM_RETURNCMD) return chosen;
  if (chosen != 0 && owner != nullptr)
    owner->PostMessage(WM_COMMAND, static_cast<uintptr_t>(chosen), 0);
  return 1;
}

namespace {
void DeleteMenu(sim::SimMenu* menu) {
  for (sim::SimMenuEntry& e : menu->entries)
    if (e.popup) DeleteMenu(e.popup);
  delete menu;
}
}  // namespace

bool CMenu::DestroyMenu() {
  if (handle == 0) return false;
  DeleteMenu(MenuOf(handle));
  handle = 0;
  return true;
}

void CMenu::Attach(MenuHandle menu) {
  DestroyMenu();
  handle = menu;
}

MenuHandle CMenu::Detach() {
  const MenuHandle menu = handle;
  handle = 0;
  return menu;
}
