// The simulated shell: My Computer with the machine's drives and the
// [Shell] section's extra items, their names, icons and context menus.
// Every object handed out is tracked, so a test can see what was never
// freed or released, and every step can fail through Faults().
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"
#include "platform/sim/SimMenu.h"

namespace sim {

namespace {

// An item id list as the simulated shell lays it out, one SHITEMID and the
// terminating zero: cb (2 bytes), the tag "PM", the parsing name and the
// normal name, each terminated.
const size_t kNamesAt = 4;

struct ItemNames {
  std::string parsing;
  std::string normal;
};

enum ObjectKind { kFolder, kEnum, kContextMenu };

struct ShellObject {
  ObjectKind kind;
  std::vector<ItemNames> items;  // kEnum: what is left to list
  size_t next = 0;
  ItemNames item;                  // kContextMenu: the item it is for
  std::vector<std::string> verbs;  // kContextMenu: by verb index
};

const unsigned kSeparator = 0x00000800;  // MF_SEPARATOR
const uint32_t kNoDefault = 0x00000020;  // CMF_NODEFAULT

void* NewItem(const ItemNames& names) {
  size_t size = kNamesAt + names.parsing.size() + 1 + names.normal.size() + 1;
  uint8_t* bytes = static_cast<uint8_t*>(calloc(1, size + 2));
  bytes[0] = uint8_t(size);
  bytes[1] = uint8_t(size >> 8);
  bytes[2] = 'P';
  bytes[3] = 'M';
  memcpy(bytes + kNamesAt, names.parsing.c_str(), names.parsing.size() + 1);
  memcpy(bytes + kNamesAt + names.parsing.size() + 1, names.normal.c_str(),
         names.normal.size() + 1);
  return bytes;
}

ItemNames ReadItem(const void* item) {
  const char* text = static_cast<const char*>(item) + kNamesAt;
  ItemNames names;
  names.parsing = text;
  names.normal = text + names.parsing.size() + 1;
  return names;
}

std::string HexCode(uint32_t code) {
  char text[16];
  snprintf(text, sizeof text, "0x%08X", code);
  return text;
}

}  // namespace

void MachineImpl::ReleaseShell() {
  for (void* item : shellItems) free(item);
  for (void* text : shellStrings) free(text);
  for (void* object : shellObjects) delete static_cast<ShellObject*>(object);
  shellItems.clear();
  shellStrings.clear();
  shellObjects.clear();
}

// A fault's code is the HRESULT the step returns.
#define SHELL_STEP(call, argument)            \
  do {                                        \
    uint32_t code_;                           \
    if (m.Enter(call, argument, &code_))      \
      return int32_t(code_ ? code_ : E_FAIL); \
  } while (0)

static ShellObject* Live(MachineImpl& m, void* object, ObjectKind kind,
                         const char* call) {
  if (!object || !m.shellObjects.count(object) ||
      static_cast<ShellObject*>(object)->kind != kind) {
    m.Fail(std::string(call) + " on an object the shell did not give or " +
           "that was released");
    return nullptr;
  }
  return static_cast<ShellObject*>(object);
}

static bool LiveItem(MachineImpl& m, const void* item, const char* call) {
  if (!item || !m.shellItems.count(const_cast<void*>(item))) {
    m.Fail(std::string(call) + " of an item id list the shell did not " +
           "give or that was freed");
    return false;
  }
  return true;
}

int32_t SimShell::GetComputerFolder(platform::ShellFolder** folder) {
  *folder = nullptr;
  SHELL_STEP("SHGetMalloc", "");
  SHELL_STEP("SHGetDesktopFolder", "");
  SHELL_STEP("SHGetSpecialFolderLocation", "CSIDL_DRIVES");
  SHELL_STEP("BindToObject", "My Computer");
  ShellObject* object = new ShellObject{kFolder, {}, 0, {}, {}};
  m.shellObjects.insert(object);
  *folder = reinterpret_cast<platform::ShellFolder*>(object);
  return S_OK;
}

void SimShell::ReleaseFolder(platform::ShellFolder* folder) {
  uint32_t code;
  m.Enter("ReleaseFolder", "", &code);
  if (!folder) return;
  if (ShellObject* object = Live(m, folder, kFolder, "ReleaseFolder")) {
    m.shellObjects.erase(object);
    delete object;
  }
}

int32_t SimShell::EnumObjects(platform::ShellFolder* folder, WindowHandle,
                              uint32_t flags, platform::ShellEnum** result) {
  *result = nullptr;
  if (!Live(m, folder, kFolder, "EnumObjects")) return E_INVALIDARG;
  SHELL_STEP("EnumObjects", HexCode(flags));
  ShellObject* list = new ShellObject{kEnum, {}, 0, {}, {}};
  // Everything in My Computer is a folder: without SHCONTF_FOLDERS the list
  // is empty.
  if (flags & SHCONTF_FOLDERS) {
    for (const auto& entry : m.drives) {
      if (m.shellHidden.count(entry.first)) continue;
      std::string letter(1, entry.first);
      std::string label = entry.second.label;
      list->items.push_back(
          {letter + ":\\",
           (label.empty() ? "" : label + " ") + "(" + letter + ":)"});
    }
    for (const auto& extra : m.shellExtraItems)
      list->items.push_back({extra.first, extra.second});
  }
  m.shellObjects.insert(list);
  *result = reinterpret_cast<platform::ShellEnum*>(list);
  return S_OK;
}

int32_t SimShell::NextItem(platform::ShellEnum* items,
                           platform::ItemIdList** item) {
  *item = nullptr;
  ShellObject* list = Live(m, items, kEnum, "NextItem");
  if (!list) return E_INVALIDARG;
  std::string upcoming =
      list->next < list->items.size() ? list->items[list->next].parsing : "";
  SHELL_STEP("NextItem", upcoming);
  if (list->next >= list->items.size()) return S_FALSE;
  void* made = NewItem(list->items[list->next++]);
  m.shellItems.insert(made);
  *item = static_cast<platform::ItemIdList*>(made);
  return S_OK;
}

void SimShell::ReleaseEnum(platform::ShellEnum* items) {
  uint32_t code;
  m.Enter("ReleaseEnum", "", &code);
  if (!items) return;
  if (ShellObject* list = Live(m, items, kEnum, "ReleaseEnum")) {
    m.shellObjects.erase(list);
    delete list;
  }
}

int32_t SimShell::GetDisplayNameOf(platform::ShellFolder* folder,
                                   const platform::ItemIdList* item,
                                   uint32_t flags, platform::StrRet* name) {
  memset(name, 0, sizeof *name);
  if (!Live(m, folder, kFolder, "GetDisplayNameOf") ||
      !LiveItem(m, item, "GetDisplayNameOf"))
    return E_INVALIDARG;
  ItemNames names = ReadItem(item);
  SHELL_STEP("GetDisplayNameOf", names.parsing);
  bool parsing = (flags & SHGDN_FORPARSING) != 0;
  const std::string& text = parsing ? names.parsing : names.normal;
  if (m.shellNameKind == "OFFSET") {
    name->type = STRRET_OFFSET;
    name->offset =
        uint32_t(kNamesAt + (parsing ? 0 : names.parsing.size() + 1));
  } else if (m.shellNameKind == "CSTR") {
    name->type = STRRET_CSTR;
    snprintf(name->cStr, sizeof name->cStr, "%s", text.c_str());
  } else {
    name->type = STRRET_WSTR;
    uint16_t* wide =
        static_cast<uint16_t*>(calloc(text.size() + 1, sizeof(uint16_t)));
    for (size_t i = 0; i < text.size(); i++) wide[i] = uint8_t(text[i]);
    m.shellStrings.insert(wide);
    name->wide = wide;
  }
  return S_OK;
}

void SimShell::FreeItem(platform::ItemIdList* item) {
  uint32_t code;
  m.Enter("FreeItem", item ? ReadItem(item).parsing : "", &code);
  if (!item) return;
  if (!m.shellItems.erase(item)) {
    m.Fail("FreeItem of memory that is not a live item id list");
    return;
  }
  free(item);
}

// The task allocator and the shell allocator are one heap here, as they
// are once OLE is loaded.
void SimShell::CoTaskMemFree(void* memory) {
  uint32_t code;
  m.Enter("CoTaskMemFree", "", &code);
  if (!memory) return;
  if (!m.shellItems.erase(memory) && !m.shellStrings.erase(memory)) {
    m.Fail("CoTaskMemFree of memory the shell did not allocate");
    return;
  }
  free(memory);
}

int32_t SimShell::ExtractSmallIcon(platform::ShellFolder* folder, WindowHandle,
                                   const platform::ItemIdList* item,
                                   IconHandle* icon) {
  *icon = 0;
  if (!Live(m, folder, kFolder, "ExtractSmallIcon") ||
      !LiveItem(m, item, "ExtractSmallIcon"))
    return E_INVALIDARG;
  std::string parsing = ReadItem(item).parsing;
  SHELL_STEP("GetUIObjectOf", parsing + " IExtractIconA");
  SHELL_STEP("GetIconLocation", parsing);
  SHELL_STEP("Extract", parsing);
  IconHandle made = m.nextIcon++;
  m.icons[made] = m.shellIconWidth;
  *icon = made;
  return S_OK;
}

uint32_t SimShell::SHGetFileInfoA(const char* path, uint32_t attributes,
                                  uint32_t flags, IconHandle* icon) {
  (void)attributes;
  *icon = 0;
  std::string text = path ? path : "";
  uint32_t code;
  if (m.Enter("SHGetFileInfoA", text, &code)) return 0;
  // With SHGFI_USEFILEATTRIBUTES the shell does not look at the disk.
  if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
    WinPath parsed;
    uint32_t error;
    bool exists = false;
    if (ParseWinPath(text, m.currentDir, &parsed, &error) &&
        m.FindDrive(parsed.drive)) {
      if (parsed.IsRoot())
        exists = true;
      else
        ResolveHost(m.root, parsed, &exists, nullptr);
    }
    if (!exists) return 0;
  }
  if (flags & SHGFI_ICON) {
    IconHandle made = m.nextIcon++;
    m.icons[made] = (flags & SHGFI_SMALLICON) ? m.shellIconWidth : 32;
    *icon = made;
  }
  return 1;
}

bool SimShell::GetIconBitmapWidth(IconHandle icon, int* width) {
  uint32_t code;
  auto found = m.icons.find(icon);
  if (m.Enter("GetIconInfo", std::to_string(icon), &code) ||
      found == m.icons.end()) {
    m.lastError = found == m.icons.end() ? ERROR_INVALID_HANDLE : code;
    return false;
  }
  if (m.Enter("GetObjectA", "color bitmap", &code)) {
    m.lastError = code;
    return false;
  }
  *width = found->second;
  return true;
}

bool SimShell::DestroyIcon(IconHandle icon) {
  uint32_t code;
  if (m.Enter("DestroyIcon", std::to_string(icon), &code)) {
    m.lastError = code;
    return false;
  }
  if (!m.icons.erase(icon)) {
    m.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

int32_t SimShell::GetContextMenu(platform::ShellFolder* folder, WindowHandle,
                                 const platform::ItemIdList* item,
                                 platform::ContextMenu** menu) {
  *menu = nullptr;
  if (!Live(m, folder, kFolder, "GetContextMenu") ||
      !LiveItem(m, item, "GetContextMenu"))
    return E_INVALIDARG;
  ItemNames names = ReadItem(item);
  SHELL_STEP("GetUIObjectOf", names.parsing + " IContextMenu");
  ShellObject* object = new ShellObject{kContextMenu, {}, 0, names, {}};
  m.shellObjects.insert(object);
  *menu = reinterpret_cast<platform::ContextMenu*>(object);
  return S_OK;
}

int32_t SimShell::QueryContextMenu(platform::ContextMenu* contextMenu,
                                   MenuHandle menu, uint32_t index,
                                   uint32_t idFirst, uint32_t idLast,
                                   uint32_t flags) {
  ShellObject* object = Live(m, contextMenu, kContextMenu, "QueryContextMenu");
  if (!object) return E_INVALIDARG;
  SHELL_STEP("QueryContextMenu", object->item.parsing);
  SimMenu* target = reinterpret_cast<SimMenu*>(menu);
  if (!target) return E_INVALIDARG;
  struct Entry {
    const char* text;
    const char* verb;
  };
  const Entry entries[] = {{"&Open", "open"},
                           {"E&xplore", "explore"},
                           {nullptr, nullptr},
                           {"P&roperties", "properties"}};
  std::vector<SimMenuEntry> added;
  object->verbs.clear();
  for (const Entry& entry : entries) {
    if (!entry.text) {
      added.push_back({0, "", kSeparator});
      continue;
    }
    uint32_t id = idFirst + uint32_t(object->verbs.size());
    if (id > idLast) break;
    added.push_back({id, entry.text, 0});
    object->verbs.push_back(entry.verb);
  }
  while (!added.empty() && added.back().flags == kSeparator) added.pop_back();
  size_t at = index < target->entries.size() ? index : target->entries.size();
  target->entries.insert(target->entries.begin() + at, added.begin(),
                         added.end());
  if (!object->verbs.empty() && !(flags & kNoDefault))
    target->defaultId = int(idFirst);
  // Success with the number of ids taken in the code.
  return int32_t(object->verbs.size());
}

int32_t SimShell::InvokeCommand(platform::ContextMenu* contextMenu,
                                WindowHandle owner, uint32_t verbIndex,
                                int showCommand) {
  ShellObject* object = Live(m, contextMenu, kContextMenu, "InvokeCommand");
  if (!object) return E_INVALIDARG;
  SHELL_STEP("InvokeCommand",
             object->item.parsing + " " + std::to_string(verbIndex));
  if (verbIndex >= object->verbs.size()) return E_INVALIDARG;
  m.contextCommands.push_back({object->item.parsing, verbIndex,
                               object->verbs[verbIndex], owner, showCommand});
  return S_OK;
}

void SimShell::ReleaseContextMenu(platform::ContextMenu* contextMenu) {
  uint32_t code;
  m.Enter("ReleaseContextMenu", "", &code);
  if (!contextMenu) return;
  if (ShellObject* object =
          Live(m, contextMenu, kContextMenu, "ReleaseContextMenu")) {
    m.shellObjects.erase(object);
    delete object;
  }
}

}  // namespace sim
