// Frames and the application's loop over real windows: menus and
// accelerator tables from the program's resources, the framework's window
// classes, the rest of CWnd's forwards, and CWinApp::Run with its idle
// update of the main frame's bars and the toolbars' fly-by prompts.
#include <string.h>

#include "framework/ControlBars.h"
#include "framework/FrameBackend.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "framework/win32/Win32Wnd.h"

// The framework's methods of these names are not the ...A functions.
#undef LoadMenu
#undef LoadAccelerators
#undef SetWindowText
#undef GetWindowText

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

CRect ToCRect(const RECT& r) { return CRect(r.left, r.top, r.right, r.bottom); }

// The part after the newline of string `id`, the command's tooltip: its
// length, 0 when the string has none.
int LoadTipText(unsigned id, char* buffer, int size) {
  buffer[0] = '\0';
  char prompt[256];
  if (LoadStringA(Instance(), id, prompt, sizeof prompt) <= 0) return 0;
  const char* newline = strchr(prompt, '\n');
  if (newline == nullptr) return 0;
  const size_t length = strlen(newline + 1);
  const size_t n = length < static_cast<size_t>(size - 1) ? length : size - 1;
  memcpy(buffer, newline + 1, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

// The procedure of the framework's window classes, so the default handling
// of a frame's messages: a toolbar's tooltip asks the toolbar's parent for
// a button's text (TTN_NEEDTEXT, in either character set: Wine's toolbar
// passes the tooltip's Unicode request on as it is), which is the part
// after the newline of the command's prompt string.
LRESULT CALLBACK FrameClassProcedure(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
  if (message == WM_NOTIFY && lParam != 0) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TTN_NEEDTEXTA) {
      NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
      if (info->uFlags & TTF_IDISHWND) return 0;
      LoadTipText(static_cast<unsigned>(header->idFrom), info->szText,
                  sizeof info->szText);
      info->lpszText = info->szText;
      info->hinst = nullptr;
      return 0;
    }
    if (header->code == TTN_NEEDTEXTW) {
      NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
      if (info->uFlags & TTF_IDISHWND) return 0;
      const int size = sizeof info->szText / sizeof info->szText[0];
      char text[sizeof info->szText / sizeof info->szText[0]];
      LoadTipText(static_cast<unsigned>(header->idFrom), text, size);
      if (MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, size) == 0)
        info->szText[0] = 0;
      info->lpszText = info->szText;
      info->hinst = nullptr;
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The classes AfxRegisterWndClass has registered, one per argument set.
struct FrameClass {
  unsigned style;
  uintptr_t cursor, brush, icon;
  char name[16];
};
const int frameClassLimit = 8;
FrameClass frameClasses[frameClassLimit];
int frameClassCount = 0;

// "Afx:" and the class's number in hexadecimal.
void NameClass(int number, char* name) {
  static const char digits[] = "0123456789abcdef";
  memcpy(name, "Afx:", 4);
  char reversed[8];
  int n = 0;
  do {
    reversed[n++] = digits[number & 0xF];
    number >>= 4;
  } while (number != 0 && n < 8);
  int at = 4;
  while (n > 0) name[at++] = reversed[--n];
  name[at] = '\0';
}

CFrameWnd* MainFrame(const CWinApp* app) {
  CWnd* main = app->m_pMainWnd;
  if (main == nullptr || main->GetSafeHwnd() == 0 || !main->IsFrameWnd())
    return nullptr;
  return static_cast<CFrameWnd*>(main);
}

// The fly-by prompt: while the mouse is over a button of a bar with
// CBRS_FLYBY the button's prompt is in the status bar. The toolbar of
// Windows 95 tells nobody when the mouse leaves it, so a thread timer looks
// where the mouse is while a prompt is up.
class FlyBy {
 public:
  // A mouse move in the main frame's thread: shows or takes back a prompt.
  void OnMouseMove(CFrameWnd* frame, const MSG& msg) {
    CToolBar* bar = FlyByBar(frame, msg.hwnd);
    if (bar == nullptr) {
      if (barWindow != nullptr) Reset(frame);
      return;
    }
    const CPoint point(static_cast<int16_t>(LOWORD(msg.lParam)),
                       static_cast<int16_t>(HIWORD(msg.lParam)));
    const unsigned id = ButtonAt(bar, point);
    if (id == 0) {
      if (barWindow != nullptr) Reset(frame);
      return;
    }
    if (barWindow == msg.hwnd && id == shownId) return;
    frame->SetMessageText(id);
    barWindow = msg.hwnd;
    shownId = id;
    if (timer == 0) timer = SetTimer(nullptr, 0, timerPeriod, nullptr);
  }

  // True for the thread timer of the prompt, which is handled here.
  bool OnTimer(CFrameWnd* frame, const MSG& msg) {
    if (timer == 0 || msg.hwnd != nullptr || msg.wParam != timer) return false;
    POINT cursor;
    if (frame == nullptr || !GetCursorPos(&cursor) ||
        WindowFromPoint(cursor) != barWindow) {
      Reset(frame);
      return true;
    }
    // Still over the bar: the next mouse move decides about the button.
    return true;
  }

  bool IsTimer(const MSG& msg) const {
    return timer != 0 && msg.message == WM_TIMER && msg.hwnd == nullptr &&
           msg.wParam == timer;
  }

 private:
  static const UINT timerPeriod = 300;

  // The bar of the frame that `window` is, when it is a toolbar with
  // fly-by prompts.
  static CToolBar* FlyByBar(CFrameWnd* frame, HWND window) {
    if (frame == nullptr || window == nullptr ||
        ::GetParent(window) != HwndOf(frame))
      return nullptr;
    CControlBar* bar =
        frame->GetControlBar(static_cast<unsigned>(::GetDlgCtrlID(window)));
    if (bar == nullptr || HwndOf(bar) != window ||
        !(bar->GetBarStyle() & CBRS_FLYBY))
      return nullptr;
    // Only toolbars are made with CBRS_FLYBY; the class says for sure.
    char name[64];
    const int length = GetClassNameA(window, name, sizeof name);
    static const char toolbar[] = "ToolbarWindow32";
    const int toolbarLength = sizeof toolbar - 1;
    if (length < toolbarLength ||
        lstrcmpiA(name + length - toolbarLength, toolbar) != 0)
      return nullptr;
    return static_cast<CToolBar*>(bar);
  }

  static unsigned ButtonAt(CToolBar* bar, CPoint point) {
    for (int i = 0; i < bar->GetCount(); ++i) {
      const unsigned id = bar->GetItemID(i);
      if (id == ID_SEPARATOR) continue;
      CRect rect;
      bar->GetItemRect(i, &rect);
      if (rect.PtInRect(point)) return id;
    }
    return 0;
  }

  void Reset(CFrameWnd* frame) {
    if (timer != 0) KillTimer(nullptr, timer);
    timer = 0;
    barWindow = nullptr;
    shownId = 0;
    if (frame != nullptr) frame->SetMessageText(0u);
  }

  HWND barWindow = nullptr;
  unsigned shownId = 0;
  UINT_PTR timer = 0;
};

// Messages after which the bars may need an update. Paints, timers and a
// mouse that did not move change no command's state.
bool IsIdleMessage(const MSG& msg, POINT* lastMouse, const FlyBy& flyBy) {
  if (msg.message == WM_PAINT || msg.message == 0x0118 /* WM_SYSTIMER */ ||
      flyBy.IsTimer(msg))
    return false;
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    if (msg.pt.x == lastMouse->x && msg.pt.y == lastMouse->y) return false;
    *lastMouse = msg.pt;
  }
  return true;
}

}  // namespace

MenuHandle FrameBackend::LoadMenu(unsigned resourceId) {
  return reinterpret_cast<MenuHandle>(
      LoadMenuA(Instance(), MAKEINTRESOURCEA(resourceId)));
}

uintptr_t FrameBackend::LoadAccelerators(unsigned resourceId) {
  return reinterpret_cast<uintptr_t>(
      LoadAcceleratorsA(Instance(), MAKEINTRESOURCEA(resourceId)));
}

void FrameBackend::DestroyMenu(MenuHandle menu) {
  ::DestroyMenu(reinterpret_cast<HMENU>(menu));
}

bool FrameBackend::SetMenu(CWnd* frame, MenuHandle menu) {
  return ::SetMenu(HwndOf(frame), reinterpret_cast<HMENU>(menu)) != 0;
}

// Where Windows would cascade a first window: an eighth of the work area
// in from its top left corner, three quarters of it in size. (A CRect
// cannot carry CW_USEDEFAULT: its width would overflow.)
CRect FrameBackend::DefaultRect() {
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work.left = work.top = 0;
    work.right = GetSystemMetrics(SM_CXSCREEN);
    work.bottom = GetSystemMetrics(SM_CYSCREEN);
  }
  const int width = work.right - work.left, height = work.bottom - work.top;
  const int left = work.left + width / 8, top = work.top + height / 8;
  return CRect(left, top, left + width * 3 / 4, top + height * 3 / 4);
}

const char* AfxRegisterWndClass(unsigned classStyle, uintptr_t cursor,
                                uintptr_t brush, uintptr_t icon) {
  for (int i = 0; i < frameClassCount; ++i) {
    const FrameClass& c = frameClasses[i];
    if (c.style == classStyle && c.cursor == cursor && c.brush == brush &&
        c.icon == icon)
      return c.name;
  }
  if (frameClassCount == frameClassLimit) return nullptr;
  FrameClass& c = frameClasses[frameClassCount];
  c.style = classStyle;
  c.cursor = cursor;
  c.brush = brush;
  c.icon = icon;
  NameClass(frameClassCount, c.name);
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.style = classStyle;
  wc.lpfnWndProc = FrameClassProcedure;
  wc.hInstance = Instance();
  wc.hIcon = reinterpret_cast<HICON>(icon);
  wc.hCursor = reinterpret_cast<HCURSOR>(cursor);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(brush);
  wc.lpszClassName = c.name;
  if (RegisterClassA(&wc) == 0) return nullptr;
  ++frameClassCount;
  return c.name;
}

int CWinApp::Run() {
  FlyBy flyBy;
  POINT lastMouse = {-1, -1};
  bool idle = true;
  MSG msg;
  BOOL got = 0;
  for (;;) {
    // Once the queue has run empty after something happened: the bars.
    if (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (CFrameWnd* frame = MainFrame(this)) frame->OnIdleUpdate();
      idle = false;
    }
    got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    CFrameWnd* frame = MainFrame(this);
    if (IsIdleMessage(msg, &lastMouse, flyBy)) idle = true;
    if (flyBy.OnTimer(frame, msg)) continue;
    if (msg.message == WM_MOUSEMOVE) flyBy.OnMouseMove(frame, msg);
    // The frame's accelerators, for keys that go to the frame or any of
    // its children (not to a window of its own, such as a modeless box).
    if (frame != nullptr && frame->GetAccelerators() != 0 &&
        msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      HWND main = HwndOf(frame);
      if ((msg.hwnd == main || IsChild(main, msg.hwnd)) &&
          TranslateAcceleratorA(
              main, reinterpret_cast<HACCEL>(frame->GetAccelerators()), &msg))
        continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  const int code = ExitInstance();
  return got == 0 ? static_cast<int>(msg.wParam) : code;
}

void AfxPostQuitMessage(int exitCode) { PostQuitMessage(exitCode); }

CWnd* CWnd::GetDlgItem(unsigned id) const {
  if (window == 0) return nullptr;
  return FromHandle(
      FromHwnd(::GetDlgItem(ToHwnd(window), static_cast<int>(id))));
}

void CWnd::GetWindowRect(CRect* rect) const {
  RECT r = {0, 0, 0, 0};
  if (window != 0) ::GetWindowRect(ToHwnd(window), &r);
  *rect = ToCRect(r);
}

// The normal rectangle is in workspace coordinates, as Windows keeps it:
// relative to the work area, not to the screen.
bool CWnd::GetWindowPlacement(WindowPlacement* placement) const {
  if (window == 0) return false;
  WINDOWPLACEMENT wp;
  memset(&wp, 0, sizeof wp);
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(ToHwnd(window), &wp)) return false;
  placement->showCommand = static_cast<int>(wp.showCmd);
  placement->normal = ToCRect(wp.rcNormalPosition);
  return true;
}

bool CWnd::SetWindowPlacement(const WindowPlacement& placement) {
  if (window == 0) return false;
  HWND h = ToHwnd(window);
  // The minimized and maximized positions stay as they are.
  WINDOWPLACEMENT wp;
  memset(&wp, 0, sizeof wp);
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(h, &wp)) return false;
  wp.flags = 0;
  wp.showCmd = static_cast<UINT>(placement.showCommand);
  wp.rcNormalPosition.left = placement.normal.left;
  wp.rcNormalPosition.top = placement.normal.top;
  wp.rcNormalPosition.right = placement.normal.right;
  wp.rcNormalPosition.bottom = placement.normal.bottom;
  return ::SetWindowPlacement(h, &wp) != 0;
}

bool CWnd::SetForegroundWindow() {
  return window != 0 && ::SetForegroundWindow(ToHwnd(window)) != 0;
}

bool CWnd::SetWindowText(const char* text) {
  return window != 0 &&
         SetWindowTextA(ToHwnd(window), text != nullptr ? text : "") != 0;
}

int CWnd::GetWindowText(char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (window == 0) return 0;
  const int length = GetWindowTextA(ToHwnd(window), buffer, size);
  buffer[size - 1] = '\0';
  return length > 0 ? length : 0;
}
