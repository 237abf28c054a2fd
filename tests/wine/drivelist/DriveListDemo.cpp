// The drive list on Wine's real drives: a top-level window whose client
// area is a DriveListView. Once the list is built it writes the column
// headings and every row's texts to the file named on its command line
// (one line each, the texts separated by tabs; headings first, read from
// the control's own header), then stays open until it is closed. Like the
// product it works in its own folder, where drivemap.dat is read.
//
//   DriveListDemo.exe OUTPUT
//
// Exit code 0 after a close, 1 when the window or the list could not be
// made or the file not written.
#include <string.h>

#include "assign/DriveListView.h"
#include "framework/App.h"
#include "framework/win32/Win32Wnd.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"

namespace {

const char frameClass[] = "PelmoraDriveListDemo";

// The frame: keeps the list filling its client area and ends the message
// loop when it is destroyed.
class DemoFrame : public CWnd {
 public:
  DriveListView list;

 protected:
  intptr_t OnSize(uintptr_t, intptr_t lParam) {
    if (list.GetSafeHwnd() != 0)
      list.MoveWindow(CRect(0, 0, LOWORD(lParam), HIWORD(lParam)));
    return 0;
  }
  void OnDestroy() { PostQuitMessage(0); }

  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry entries[] = {
        Map::Message(WM_SIZE, &DemoFrame::OnSize),
        Map::Void(WM_DESTROY, &DemoFrame::OnDestroy), Map::End()};
    static const MessageMap map = {CWnd::GetMessageMap(), entries};
    return &map;
  }
};

bool RegisterFrameClass() {
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = frameClass;
  return RegisterClassA(&wc) != 0;
}

// Makes the program's own folder the current directory.
void EnterProgramFolder() {
  char path[260];
  const uint32_t length =
      platform::kernel().GetModuleFileNameA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr) return;
  // Keep the backslash of a root folder ("C:\").
  if (slash == path + 2 && path[1] == ':') ++slash;
  *slash = '\0';
  platform::kernel().SetCurrentDirectoryA(path);
}

// The first argument, without its quotes.
void FirstArgument(const char* commandLine, char* path, size_t size) {
  const char* p = commandLine;
  while (*p == ' ' || *p == '\t') ++p;
  const char end = *p == '"' ? *p++ : ' ';
  size_t n = 0;
  while (*p != '\0' && *p != end && n + 1 < size) path[n++] = *p++;
  path[n] = '\0';
}

void PutField(ScopedFile& file, int column, const char* text) {
  platform::FileSystem& files = platform::files();
  if (column > 0) files.Putc('\t', file.Get());
  files.Puts(text, file.Get());
}

// The headings as the list's header shows them, then the rows.
bool WriteList(const char* path, DriveListView& list) {
  ScopedFile file;
  if (!file.Open(path, "wt")) return false;
  platform::FileSystem& files = platform::files();
  const int columns = list.GetColumnCount();
  for (int c = 0; c < columns; ++c) {
    char heading[64] = "";
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    SendMessageA(HwndOf(&list), LVM_GETCOLUMNA, c,
                 reinterpret_cast<LPARAM>(&column));
    heading[sizeof heading - 1] = '\0';
    PutField(file, c, heading);
  }
  files.Putc('\n', file.Get());
  for (int row = 0; row < list.GetItemCount(); ++row) {
    for (int c = 0; c < columns; ++c) {
      char text[64];
      list.GetItemText(row, c, text, sizeof text);
      PutField(file, c, text);
    }
    files.Putc('\n', file.Get());
  }
  return !file.Error() && file.Close();
}

}  // namespace

int RunApplication(const char* commandLine, int showCommand) {
  char output[260];
  FirstArgument(commandLine, output, sizeof output);
  if (output[0] == '\0' || !RegisterFrameClass()) return 1;
  EnterProgramFolder();

  DemoFrame frame;
  if (!frame.CreateEx(0, frameClass, "Drive List",
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CRect(16, 16, 624, 416), nullptr, 0))
    return 1;
  CRect client;
  frame.GetClientRect(&client);
  if (!frame.list.Create(WS_VISIBLE | LVS_REPORT, client, &frame, driveListId))
    return 1;
  frame.ShowWindow(showCommand);
  // As a frame gives its view the focus: the selected row shows.
  frame.list.SetFocus();
  frame.UpdateWindow();
  if (!WriteList(output, frame.list)) return 1;

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
