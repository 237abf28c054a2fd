// A helper for the Wine end-to-end scripts: finds a top-level window by its
// caption and reads or works its controls, as a tester would by hand.
//
//   boxreader wait CAPTION SECONDS     until the window exists
//   boxreader gone CAPTION SECONDS     until it no longer exists
//   boxreader dump CAPTION             "class|id|text|checked" per child
//   boxreader click CAPTION ID         a click on the control (BM_CLICK)
//   boxreader command CAPTION ID       WM_COMMAND ID to the window
//   boxreader close CAPTION            the close box (WM_SYSCOMMAND SC_CLOSE)
//   boxreader short PATH               GetShortPathNameA of PATH
//   boxreader list CAPTION             the window's list view: a line
//                                      "columns|heading|..." and one
//                                      "row|selected|text|..." per row
//   boxreader rect CAPTION             the window's rectangle on the
//                                      screen: "left top right bottom"
//   boxreader row-rect CAPTION ROW     the rectangle of a row of the
//                                      window's list view on the screen
//   boxreader button CAPTION BAR ID    "enabled|checked" (1 or 0) of the
//                                      button with command ID on the
//                                      toolbar with control id BAR
//   boxreader button-rect CAPTION BAR ID  that button's rectangle on the
//                                      screen: "left top right bottom"
//   boxreader registry ROOT KEY        the key under HKCU or HKLM and all
//                                      below it: a line with each key's
//                                      path and one "key|name|type|hex"
//                                      per value, in the registry's order
//
// CAPTION "child:TEXT" names the window that has a control showing TEXT,
// for windows without a caption.
//
// Exit status 0 on success, 1 when the window or control is not there.
#include <string.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

namespace {

// Built like the products (freestanding, Windows 95 imports only), so it
// writes through the console handle rather than stdio.
void Out(const char* text) {
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, DWORD(strlen(text)),
            &written, nullptr);
}

void OutNumber(long value) {
  char digits[24];
  char* p = digits + sizeof digits - 1;
  *p = '\0';
  bool negative = value < 0;
  unsigned long magnitude = negative ? 0ul - value : value;
  do {
    *--p = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (negative) *--p = '-';
  Out(p);
}

int Number(const char* text) {
  int sign = *text == '-' ? -1 : 1;
  if (*text == '-') ++text;
  int value = 0;
  while (*text >= '0' && *text <= '9') value = value * 10 + (*text++ - '0');
  return sign * value;
}

struct Search {
  const char* caption;
  HWND found;
};

const char childPrefix[] = "child:";
const size_t childPrefixLength = sizeof childPrefix - 1;

BOOL CALLBACK FindChildText(HWND child, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  char text[512];
  if (GetWindowTextA(child, text, sizeof text) > 0 &&
      strcmp(text, search->caption + childPrefixLength) == 0) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindTop(HWND window, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  if (!IsWindowVisible(window)) return TRUE;
  if (strncmp(search->caption, childPrefix, childPrefixLength) == 0) {
    Search inner = {search->caption, nullptr};
    EnumChildWindows(window, FindChildText, reinterpret_cast<LPARAM>(&inner));
    if (inner.found == nullptr) return TRUE;
    search->found = window;
    return FALSE;
  }
  char text[512];
  if (GetWindowTextA(window, text, sizeof text) > 0 &&
      strcmp(text, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND Find(const char* caption) {
  Search search = {caption, nullptr};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Our programs' controls are of superclasses named after the control
// ("Pelmora.SysListView32"): the class name ends with the control's.
bool EndsWith(const char* text, const char* end) {
  const size_t length = strlen(text), endLength = strlen(end);
  return length >= endLength && strcmp(text + length - endLength, end) == 0;
}

BOOL CALLBACK DumpChild(HWND child, LPARAM) {
  char className[64], text[1024];
  GetClassNameA(child, className, sizeof className);
  // A status bar's text is its first pane's, which only the control
  // itself knows: WM_GETTEXT, which the system carries across processes.
  if (EndsWith(className, STATUSCLASSNAMEA)) {
    text[0] = '\0';
    SendMessageA(child, WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    text[sizeof text - 1] = '\0';
  } else {
    GetWindowTextA(child, text, sizeof text);
  }
  int checked = -1;
  if (strcmp(className, "Button") == 0)
    checked = int(SendMessageA(child, BM_GETCHECK, 0, 0));
  Out(className);
  Out("|");
  OutNumber(GetDlgCtrlID(child));
  Out("|");
  // Line breaks in a text shown as \n, so each control is one line.
  char one[2] = {0, 0};
  for (const char* p = text; *p; ++p) {
    one[0] = *p;
    if (*p == '\n')
      Out("\\n");
    else if (*p != '\r')
      Out(one);
  }
  Out("|");
  OutNumber(checked);
  Out("\n");
  return TRUE;
}

BOOL CALLBACK FindListView(HWND child, LPARAM data) {
  char className[64];
  GetClassNameA(child, className, sizeof className);
  if (!EndsWith(className, WC_LISTVIEWA)) return TRUE;
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

// Memory in the list's process for the messages that carry a pointer:
// the structure, then the text it points to. VirtualAllocEx is looked up,
// since Windows 95 lacks it; the tool runs under Wine.
class RemoteBlock {
 public:
  static const SIZE_T textSize = 512;
  explicit RemoteBlock(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                              PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                          FALSE, id);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    allocate = reinterpret_cast<Allocate>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "VirtualAllocEx")));
    release = reinterpret_cast<Release>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "VirtualFreeEx")));
    if (process != nullptr && allocate != nullptr && release != nullptr)
      base = static_cast<char*>(
          allocate(process, nullptr, blockSize, MEM_COMMIT, PAGE_READWRITE));
  }
  ~RemoteBlock() {
    if (base != nullptr) release(process, base, 0, MEM_RELEASE);
    if (process != nullptr) CloseHandle(process);
  }
  bool Ok() const { return base != nullptr; }
  char* Structure() const { return base; }
  char* Text() const { return base + textOffset; }
  bool Read(void* data, SIZE_T size) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, base, data, size, &read) && read == size;
  }
  bool Write(const void* data, SIZE_T size) {
    SIZE_T written = 0;
    return WriteProcessMemory(process, base, data, size, &written) &&
           written == size;
  }
  // The text, always terminated.
  bool ReadText(char* text) {
    SIZE_T read = 0;
    const bool ok =
        ReadProcessMemory(process, Text(), text, textSize, &read) != 0;
    text[ok ? textSize - 1 : 0] = '\0';
    return ok;
  }

 private:
  typedef LPVOID(WINAPI* Allocate)(HANDLE, LPVOID, SIZE_T, DWORD, DWORD);
  typedef BOOL(WINAPI* Release)(HANDLE, LPVOID, SIZE_T, DWORD);
  static const SIZE_T textOffset = 256;
  static const SIZE_T blockSize = textOffset + textSize;
  HANDLE process = nullptr;
  Allocate allocate = nullptr;
  Release release = nullptr;
  char* base = nullptr;
};

HWND ListOf(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(window, FindListView, reinterpret_cast<LPARAM>(&list));
  if (list == nullptr) Out("boxreader: no list view\n");
  return list;
}

// Each text of the list, its headings first, as "|"-separated lines.
int DumpList(HWND window) {
  HWND list = ListOf(window);
  if (list == nullptr) return 1;
  RemoteBlock block(list);
  if (!block.Ok()) {
    Out("boxreader: no memory in the list's process\n");
    return 1;
  }
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns =
      header != nullptr ? int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  char text[RemoteBlock::textSize];
  Out("columns");
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_TEXT;
    column.pszText = block.Text();
    column.cchTextMax = int(RemoteBlock::textSize);
    text[0] = '\0';
    if (block.Write(&column, sizeof column) &&
        SendMessageA(list, LVM_GETCOLUMNA, c,
                     reinterpret_cast<LPARAM>(block.Structure())))
      block.ReadText(text);
    Out("|");
    Out(text);
  }
  Out("\n");
  const int rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    Out("row|");
    OutNumber(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) &
                      LVIS_SELECTED
                  ? 1
                  : 0);
    for (int c = 0; c < (columns > 0 ? columns : 1); ++c) {
      LVITEMA item;
      memset(&item, 0, sizeof item);
      item.iSubItem = c;
      item.pszText = block.Text();
      item.cchTextMax = int(RemoteBlock::textSize);
      text[0] = '\0';
      if (block.Write(&item, sizeof item)) {
        SendMessageA(list, LVM_GETITEMTEXTA, row,
                     reinterpret_cast<LPARAM>(block.Structure()));
        block.ReadText(text);
      }
      Out("|");
      Out(text);
    }
    Out("\n");
  }
  return 0;
}

int OutRect(const RECT& r) {
  OutNumber(r.left);
  Out(" ");
  OutNumber(r.top);
  Out(" ");
  OutNumber(r.right);
  Out(" ");
  OutNumber(r.bottom);
  Out("\n");
  return 0;
}

bool Wait(const char* caption, int seconds, bool present) {
  for (int i = 0; i < seconds * 10; ++i) {
    if ((Find(caption) != nullptr) == present) return true;
    Sleep(100);
  }
  return false;
}

// The key's path, then its values and its subkeys' dumps.
bool DumpKey(HKEY key, const char* path) {
  Out(path);
  Out("\n");
  static const char digits[] = "0123456789abcdef";
  for (DWORD i = 0;; ++i) {
    char name[256];
    BYTE data[1024];
    char hex[sizeof data * 2 + 1];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data,
                      &dataSize) != ERROR_SUCCESS)
      break;
    for (DWORD j = 0; j < dataSize; ++j) {
      hex[2 * j] = digits[data[j] >> 4];
      hex[2 * j + 1] = digits[data[j] & 15];
    }
    hex[2 * dataSize] = '\0';
    Out(path);
    Out("|");
    Out(name);
    Out("|");
    OutNumber(long(type));
    Out("|");
    Out(hex);
    Out("\n");
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    if (RegEnumKeyA(key, i, name, sizeof name) != ERROR_SUCCESS) break;
    HKEY sub;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
      return false;
    char subPath[1024];
    if (strlen(path) + strlen(name) + 2 > sizeof subPath) return false;
    strcpy(subPath, path);
    strcat(subPath, "\\");
    strcat(subPath, name);
    const bool ok = DumpKey(sub, subPath);
    RegCloseKey(sub);
    if (!ok) return false;
  }
  return true;
}

int DumpRegistry(const char* root, const char* subKey) {
  HKEY base;
  const char* rootName;
  if (strcmp(root, "HKCU") == 0) {
    base = HKEY_CURRENT_USER;
    rootName = "HKEY_CURRENT_USER\\";
  } else if (strcmp(root, "HKLM") == 0) {
    base = HKEY_LOCAL_MACHINE;
    rootName = "HKEY_LOCAL_MACHINE\\";
  } else {
    return 2;
  }
  char path[1024];
  if (strlen(rootName) + strlen(subKey) + 1 > sizeof path) return 2;
  strcpy(path, rootName);
  strcat(path, subKey);
  HKEY key;
  // A missing key prints nothing, as the simulator's dump does.
  if (RegOpenKeyExA(base, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  const bool ok = DumpKey(key, path);
  RegCloseKey(key);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "registry") == 0)
    return DumpRegistry(argv[2], argv[3]);
  if (argc == 3 && strcmp(argv[1], "short") == 0) {
    char path[MAX_PATH];
    DWORD length = GetShortPathNameA(argv[2], path, sizeof path);
    if (length == 0 || length >= sizeof path) return 1;
    Out(path);
    Out("\n");
    return 0;
  }
  if (argc < 3) {
    Out("usage: boxreader wait|gone|dump|list|rect|row-rect|button|"
        "button-rect|click|command|close CAPTION [ID|SECONDS|ROW|BAR ID]\n");
    return 2;
  }
  const char* verb = argv[1];
  const char* caption = argv[2];
  if (strcmp(verb, "wait") == 0 || strcmp(verb, "gone") == 0) {
    int seconds = argc > 3 ? Number(argv[3]) : 10;
    return Wait(caption, seconds, strcmp(verb, "wait") == 0) ? 0 : 1;
  }
  HWND window = Find(caption);
  if (window == nullptr) {
    Out("boxreader: no window ");
    Out(caption);
    Out("\n");
    return 1;
  }
  if (strcmp(verb, "dump") == 0) {
    Out("caption|");
    Out(caption);
    Out("\n");
    EnumChildWindows(window, DumpChild, 0);
    return 0;
  }
  if (strcmp(verb, "list") == 0) return DumpList(window);
  if (strcmp(verb, "rect") == 0) {
    RECT r;
    if (!GetWindowRect(window, &r)) return 1;
    return OutRect(r);
  }
  if (strcmp(verb, "close") == 0) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }
  if (strcmp(verb, "row-rect") == 0 && argc == 4) {
    HWND list = ListOf(window);
    if (list == nullptr) return 1;
    RemoteBlock block(list);
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    if (!block.Ok() || !block.Write(&r, sizeof r) ||
        !SendMessageA(list, LVM_GETITEMRECT, WPARAM(Number(argv[3])),
                      reinterpret_cast<LPARAM>(block.Structure())) ||
        !block.Read(&r, sizeof r))
      return 1;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return OutRect(r);
  }
  if ((strcmp(verb, "button") == 0 || strcmp(verb, "button-rect") == 0) &&
      argc == 5) {
    HWND bar = GetDlgItem(window, Number(argv[3]));
    if (bar == nullptr) return 1;
    const WPARAM command = WPARAM(Number(argv[4]));
    const LRESULT index = SendMessageA(bar, TB_COMMANDTOINDEX, command, 0);
    if (index < 0) return 1;
    if (strcmp(verb, "button-rect") == 0) {
      RemoteBlock block(bar);
      RECT r = {0, 0, 0, 0};
      if (!block.Ok() || !block.Write(&r, sizeof r) ||
          !SendMessageA(bar, TB_GETITEMRECT, WPARAM(index),
                        reinterpret_cast<LPARAM>(block.Structure())) ||
          !block.Read(&r, sizeof r))
        return 1;
      MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
      return OutRect(r);
    }
    OutNumber(SendMessageA(bar, TB_ISBUTTONENABLED, command, 0) ? 1 : 0);
    Out("|");
    OutNumber(SendMessageA(bar, TB_ISBUTTONCHECKED, command, 0) ? 1 : 0);
    Out("\n");
    return 0;
  }
  if (argc != 4) return 2;
  int id = Number(argv[3]);
  if (strcmp(verb, "command") == 0) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return 0;
  }
  if (strcmp(verb, "click") == 0) {
    HWND control = GetDlgItem(window, id);
    if (control == nullptr) return 1;
    PostMessageA(control, BM_CLICK, 0, 0);
    return 0;
  }
  return 2;
}
