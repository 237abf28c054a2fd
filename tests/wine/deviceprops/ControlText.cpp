// A helper for tests/wine/deviceprops.sh: the text of a control of another
// process's window as the control itself holds it (WM_GETTEXT, which the
// system carries across processes; GetWindowTextA there gives an edit's
// creation text only), and whether the control is enabled.
//
//   controltext CAPTION ID      prints "ENABLED|TEXT" (ENABLED 1 or 0)
//
// Exit status 0 on success, 1 when the window or control is not there.
#include <string.h>
#include <windows.h>

namespace {

void Out(const char* text) {
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, DWORD(strlen(text)),
            &written, nullptr);
}

int Number(const char* text) {
  int value = 0;
  while (*text >= '0' && *text <= '9') value = value * 10 + (*text++ - '0');
  return value;
}

struct Search {
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindTop(HWND window, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  char text[256];
  if (IsWindowVisible(window) &&
      GetWindowTextA(window, text, sizeof text) > 0 &&
      strcmp(text, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    Out("usage: controltext CAPTION ID\n");
    return 2;
  }
  Search search = {argv[1], nullptr};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return 1;
  HWND control = GetDlgItem(search.found, Number(argv[2]));
  if (control == nullptr) return 1;
  char text[512] = "";
  SendMessageA(control, WM_GETTEXT, sizeof text,
               reinterpret_cast<LPARAM>(text));
  text[sizeof text - 1] = '\0';
  Out(IsWindowEnabled(control) ? "1|" : "0|");
  Out(text);
  Out("\n");
  return 0;
}
