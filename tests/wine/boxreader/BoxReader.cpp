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
//
// Exit status 0 on success, 1 when the window or control is not there.
#include <string.h>
#include <windows.h>

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

BOOL CALLBACK FindTop(HWND window, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  char text[512];
  if (GetWindowTextA(window, text, sizeof text) > 0 &&
      strcmp(text, search->caption) == 0 && IsWindowVisible(window)) {
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

BOOL CALLBACK DumpChild(HWND child, LPARAM) {
  char className[64], text[1024];
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
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

bool Wait(const char* caption, int seconds, bool present) {
  for (int i = 0; i < seconds * 10; ++i) {
    if ((Find(caption) != nullptr) == present) return true;
    Sleep(100);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "short") == 0) {
    char path[MAX_PATH];
    DWORD length = GetShortPathNameA(argv[2], path, sizeof path);
    if (length == 0 || length >= sizeof path) return 1;
    Out(path);
    Out("\n");
    return 0;
  }
  if (argc < 3) {
    Out("usage: boxreader wait|gone|dump|click|command|close CAPTION "
        "[ID|SECONDS]\n");
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
  if (strcmp(verb, "close") == 0) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
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
