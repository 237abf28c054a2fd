// The shell part of the seam: ShellExecuteA, the My Computer folder and its
// items' names, icons and context menus, over shell32's COM interfaces.
// Each method is one Win32 step or the fixed short sequence the seam names;
// interface pointers are released on every path.
#include "platform/win32/Win32Shell.h"

#include <string.h>
// <windows.h> first: the other Win32 headers need its types.
#include <windows.h>
// Separate, so that sorting includes keeps them after <windows.h>.
#include <shellapi.h>
#include <shlobj.h>

namespace platform {

namespace {

// Our own copies of the interface ids, so nothing links uuid.lib.
const IID kShellFolderId = {0x000214E6, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kExtractIconAId = {0x000214EB, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kContextMenuId = {0x000214E4, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkAId = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileId = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const CLSID kShellLinkClass = {
    0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A shortcut object and its file interface, released on every path, in an
// apartment of their own.
class ShellLinkObject {
 public:
  ShellLinkObject() {
    initialized = SUCCEEDED(::CoInitialize(nullptr));
    result = ::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                kShellLinkAId, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result))
      result =
          link->QueryInterface(kPersistFileId, reinterpret_cast<void**>(&file));
  }
  ~ShellLinkObject() {
    if (file) file->Release();
    if (link) link->Release();
    if (initialized) ::CoUninitialize();
  }
  ShellLinkObject(const ShellLinkObject&) = delete;
  ShellLinkObject& operator=(const ShellLinkObject&) = delete;

  bool initialized = false;
  HRESULT result;
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
};

// IPersistFile takes wide paths; Windows 9x converts ANSI ones itself.
bool WidePath(const char* path, WCHAR* wide) {
  return ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) != 0;
}

#if defined(__i386__)
// Windows 9x checks cbSize against its own 36-byte structure.
static_assert(sizeof(CMINVOKECOMMANDINFO) == 36, "CMINVOKECOMMANDINFO");
#endif

IShellFolder* ToFolder(ShellFolder* folder) {
  return reinterpret_cast<IShellFolder*>(folder);
}

LPCITEMIDLIST ToIdList(const ItemIdList* item) {
  return reinterpret_cast<LPCITEMIDLIST>(item);
}

HWND ToWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32Shell : public Shell {
 public:
  intptr_t ShellExecuteA(WindowHandle owner, const char* verb, const char* file,
                         const char* parameters, const char* directory,
                         int showCommand) override {
    return reinterpret_cast<intptr_t>(::ShellExecuteA(
        ToWindow(owner), verb, file, parameters, directory, showCommand));
  }

  int32_t GetComputerFolder(ShellFolder** folder) override {
    *folder = nullptr;
    IMalloc* allocator = nullptr;
    HRESULT result = ::SHGetMalloc(&allocator);
    if (FAILED(result)) return result;
    IShellFolder* desktop = nullptr;
    result = ::SHGetDesktopFolder(&desktop);
    if (SUCCEEDED(result)) {
      LPITEMIDLIST computer = nullptr;
      result = ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
      if (SUCCEEDED(result)) {
        void* bound = nullptr;
        result =
            desktop->BindToObject(computer, nullptr, kShellFolderId, &bound);
        if (SUCCEEDED(result) && bound) {
          *folder = static_cast<ShellFolder*>(bound);
          result = S_OK;
        } else if (SUCCEEDED(result)) {
          result = E_FAIL;  // success without an object is no folder
        }
        allocator->Free(computer);
      }
      desktop->Release();
    }
    allocator->Release();
    return result;
  }

  void ReleaseFolder(ShellFolder* folder) override {
    if (folder) ToFolder(folder)->Release();
  }

  int32_t EnumObjects(ShellFolder* folder, WindowHandle owner, uint32_t flags,
                      ShellEnum** result) override {
    IEnumIDList* items = nullptr;
    HRESULT status =
        ToFolder(folder)->EnumObjects(ToWindow(owner), flags, &items);
    if (status != S_OK && items) {
      items->Release();
      items = nullptr;
    }
    *result = reinterpret_cast<ShellEnum*>(items);
    return status;
  }

  int32_t NextItem(ShellEnum* items, ItemIdList** item) override {
    LPITEMIDLIST next = nullptr;
    ULONG fetched = 0;
    HRESULT status =
        reinterpret_cast<IEnumIDList*>(items)->Next(1, &next, &fetched);
    if (status == S_OK && (fetched != 1 || !next)) status = S_FALSE;
    if (status != S_OK) {
      if (next) FreeItem(reinterpret_cast<ItemIdList*>(next));
      next = nullptr;
    }
    *item = reinterpret_cast<ItemIdList*>(next);
    return status;
  }

  void ReleaseEnum(ShellEnum* items) override {
    if (items) reinterpret_cast<IEnumIDList*>(items)->Release();
  }

  int32_t GetDisplayNameOf(ShellFolder* folder, const ItemIdList* item,
                           uint32_t flags, StrRet* name) override {
    STRRET answer;
    memset(&answer, 0, sizeof answer);
    HRESULT status =
        ToFolder(folder)->GetDisplayNameOf(ToIdList(item), flags, &answer);
    memset(name, 0, sizeof *name);
    if (FAILED(status)) return status;
    name->type = answer.uType;
    switch (answer.uType) {
      case STRRET_WSTR:
        name->wide = reinterpret_cast<uint16_t*>(answer.pOleStr);
        break;
      case STRRET_OFFSET:
        name->offset = answer.uOffset;
        break;
      default:
        memcpy(name->cStr, answer.cStr, sizeof name->cStr);
        name->cStr[sizeof name->cStr - 1] = '\0';
        break;
    }
    return status;
  }

  void FreeItem(ItemIdList* item) override {
    if (!item) return;
    IMalloc* allocator = nullptr;
    if (FAILED(::SHGetMalloc(&allocator)) || !allocator) return;
    allocator->Free(item);
    allocator->Release();
  }

  void CoTaskMemFree(void* memory) override { ::CoTaskMemFree(memory); }

  int32_t ExtractSmallIcon(ShellFolder* folder, WindowHandle owner,
                           const ItemIdList* item, IconHandle* icon) override {
    *icon = 0;
    LPCITEMIDLIST items[1] = {ToIdList(item)};
    void* object = nullptr;
    HRESULT status = ToFolder(folder)->GetUIObjectOf(
        ToWindow(owner), 1, items, kExtractIconAId, nullptr, &object);
    if (FAILED(status)) return status;
    if (!object) return E_FAIL;
    IExtractIconA* extractor = static_cast<IExtractIconA*>(object);
    char location[260];
    location[0] = '\0';
    int index = 0;
    UINT locationFlags = 0;
    status = extractor->GetIconLocation(0, location, sizeof location, &index,
                                        &locationFlags);
    if (SUCCEEDED(status)) {
      HICON large = nullptr;
      HICON small = nullptr;
      status = extractor->Extract(location, index, &large, &small, 0);
      if (large) ::DestroyIcon(large);
      // S_FALSE asks the caller to extract the icon itself: no icon here.
      if (status == S_OK && small) {
        *icon = reinterpret_cast<IconHandle>(small);
      } else {
        if (small) ::DestroyIcon(small);
        status = FAILED(status) ? status : E_FAIL;
      }
    }
    extractor->Release();
    return status;
  }

  uint32_t SHGetFileInfoA(const char* path, uint32_t attributes, uint32_t flags,
                          IconHandle* icon) override {
    SHFILEINFOA info;
    memset(&info, 0, sizeof info);
    DWORD_PTR result =
        ::SHGetFileInfoA(path, attributes, &info, sizeof info, flags);
    *icon = result ? reinterpret_cast<IconHandle>(info.hIcon) : 0;
    return static_cast<uint32_t>(result);
  }

  bool GetIconBitmapWidth(IconHandle icon, int* width) override {
    ICONINFO info;
    if (!::GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return false;
    // A monochrome icon has no colour bitmap; its mask has the same width.
    HBITMAP measured = info.hbmColor ? info.hbmColor : info.hbmMask;
    BITMAP bitmap;
    bool done = measured && ::GetObjectA(measured, sizeof bitmap, &bitmap) ==
                                static_cast<int>(sizeof bitmap);
    if (done) *width = bitmap.bmWidth;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return done;
  }

  bool DestroyIcon(IconHandle icon) override {
    return ::DestroyIcon(reinterpret_cast<HICON>(icon)) != 0;
  }

  int32_t GetContextMenu(ShellFolder* folder, WindowHandle owner,
                         const ItemIdList* item, ContextMenu** menu) override {
    *menu = nullptr;
    LPCITEMIDLIST items[1] = {ToIdList(item)};
    void* object = nullptr;
    HRESULT status = ToFolder(folder)->GetUIObjectOf(
        ToWindow(owner), 1, items, kContextMenuId, nullptr, &object);
    if (FAILED(status)) return status;
    if (!object) return E_FAIL;
    *menu = static_cast<ContextMenu*>(object);
    return status;
  }

  int32_t QueryContextMenu(ContextMenu* contextMenu, MenuHandle menu,
                           uint32_t index, uint32_t idFirst, uint32_t idLast,
                           uint32_t flags) override {
    return reinterpret_cast<IContextMenu*>(contextMenu)
        ->QueryContextMenu(reinterpret_cast<HMENU>(menu), index, idFirst,
                           idLast, flags);
  }

  int32_t InvokeCommand(ContextMenu* contextMenu, WindowHandle owner,
                        uint32_t verbIndex, int showCommand) override {
    CMINVOKECOMMANDINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.hwnd = ToWindow(owner);
    info.lpVerb = MAKEINTRESOURCEA(verbIndex);
    info.nShow = showCommand;
    return reinterpret_cast<IContextMenu*>(contextMenu)->InvokeCommand(&info);
  }

  int32_t GetSpecialFolderPath(int csidl, char* path) override {
    path[0] = 0;
    IMalloc* allocator = nullptr;
    HRESULT result = ::SHGetMalloc(&allocator);
    if (FAILED(result)) return result;
    LPITEMIDLIST folder = nullptr;
    result = ::SHGetSpecialFolderLocation(nullptr, csidl, &folder);
    if (SUCCEEDED(result)) {
      if (::SHGetPathFromIDListA(folder, path))
        result = S_OK;
      else
        path[0] = 0, result = E_FAIL;
      allocator->Free(folder);
    }
    allocator->Release();
    return result;
  }

  int32_t CreateShellLink(const char* linkPath,
                          const ShellLinkInfo& fields) override {
    WCHAR wide[MAX_PATH];
    if (!WidePath(linkPath, wide)) return HRESULT_FROM_WIN32(::GetLastError());
    ShellLinkObject shortcut;
    HRESULT result = shortcut.result;
    if (SUCCEEDED(result)) result = shortcut.link->SetPath(fields.target);
    if (SUCCEEDED(result))
      result = shortcut.link->SetArguments(fields.arguments);
    if (SUCCEEDED(result))
      result = shortcut.link->SetWorkingDirectory(fields.directory);
    if (SUCCEEDED(result))
      result = shortcut.link->SetDescription(fields.description);
    if (SUCCEEDED(result)) result = shortcut.file->Save(wide, TRUE);
    return result;
  }

  int32_t ReadShellLink(const char* linkPath, ShellLinkInfo* fields) override {
    memset(fields, 0, sizeof *fields);
    WCHAR wide[MAX_PATH];
    if (!WidePath(linkPath, wide)) return HRESULT_FROM_WIN32(::GetLastError());
    ShellLinkObject shortcut;
    HRESULT result = shortcut.result;
    if (SUCCEEDED(result)) result = shortcut.file->Load(wide, STGM_READ);
    if (SUCCEEDED(result))
      result = shortcut.link->GetPath(fields->target, sizeof fields->target,
                                      nullptr, 0);
    if (SUCCEEDED(result))
      result = shortcut.link->GetArguments(fields->arguments,
                                           sizeof fields->arguments);
    if (SUCCEEDED(result))
      result = shortcut.link->GetWorkingDirectory(fields->directory,
                                                  sizeof fields->directory);
    if (SUCCEEDED(result))
      result = shortcut.link->GetDescription(fields->description,
                                             sizeof fields->description);
    // GetPath answers S_FALSE for a shortcut without a path.
    return SUCCEEDED(result) ? S_OK : result;
  }

  void ReleaseContextMenu(ContextMenu* contextMenu) override {
    if (contextMenu) reinterpret_cast<IContextMenu*>(contextMenu)->Release();
  }
};

// Never destroyed, like the other platform objects: static destructors
// elsewhere may still use it at exit.
union Forever {
  constexpr Forever() : object() {}
  ~Forever() {}
  Win32Shell object;
};

Forever theShell;

}  // namespace

Shell* Win32ShellObject() { return &theShell.object; }

}  // namespace platform
