// CWnd, MFC's window object, thin: it holds a window handle and forwards.
// Messages reach WindowProc, which looks them up in the class's message
// map, a plain table of (message -> member function with the message's
// arguments unpacked), chained to the base class's table; a message that
// no table lists goes to DefWindowProc (the default window procedure, or
// for a control the control's own procedure). A handler that wants the
// default handling as well calls Default().
//
// Notifications (WM_NOTIFY) that a control sends its parent are reflected
// back to the control's object first, as typed handlers (see Map::
// ColumnClick and the others), so a control class handles its own.
//
// Two backends: framework/win32 over real windows (the control's window is
// created through a superclass whose procedure is ours, so even WM_NCCREATE
// and WM_CREATE come here), framework/headless in memory (see
// framework/headless/Windows.h: handles, a posted-message queue that a test
// pumps, capture and focus).
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/CmdTarget.h"
#include "platform/Types.h"

struct CPoint {
  int x = 0, y = 0;
  CPoint() {}
  CPoint(int x, int y) : x(x), y(y) {}
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
  bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  CRect() {}
  CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool PtInRect(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right &&
           bottom == o.bottom;
  }
};

// WINDOWPLACEMENT's parts that the programs use: the show command and the
// rectangle of the window when it is neither minimized nor maximized.
struct WindowPlacement {
  int showCommand = 1;  // SW_SHOWNORMAL
  CRect normal;
};

// CREATESTRUCT's fields, portable. PreCreateWindow may change any of them.
struct CreateStruct {
  void* createParams = nullptr;
  WindowHandle parent = 0;
  unsigned id = 0;  // a child's control id (hMenu)
  int x = 0, y = 0, cx = 0, cy = 0;
  uint32_t style = 0;
  const char* windowName = "";
  const char* className = "";
  uint32_t exStyle = 0;
};

// NMHDR.
struct NotifyHeader {
  WindowHandle from = 0;
  uintptr_t idFrom = 0;
  int code = 0;
};

// NMLISTVIEW: the list-view notifications' common part. For
// LVN_COLUMNCLICK `subItem` is the clicked column; for LVN_ITEMCHANGED
// `item`, `newState`, `oldState`, `changed` (LVIF_STATE 8) and `lParam`
// (the row's item data); for LVN_BEGINDRAG `item` and `point` (client
// coordinates).
struct NmListView {
  NotifyHeader header;
  int item = -1;
  int subItem = 0;
  unsigned newState = 0;
  unsigned oldState = 0;
  unsigned changed = 0;
  CPoint point;
  intptr_t lParam = 0;
};

// NMLVKEYDOWN.
struct NmListKeyDown {
  NotifyHeader header;
  unsigned vkey = 0;
  unsigned flags = 0;
};

// NMTOOLBAR: a toolbar's notification about one of its buttons; `item`
// is the button's command id (TBN_BEGINDRAG, TBN_ENDDRAG).
struct NmToolBar {
  NotifyHeader header;
  int item = 0;
};

class CWnd;

// The handler of a message-map line; the line's kind says which member is
// set.
union WindowHandler {
  int (CWnd::*create)(CreateStruct*);
  void (CWnd::*plain)();
  void (CWnd::*character)(unsigned, unsigned, unsigned);
  void (CWnd::*contextMenu)(CWnd*, CPoint);
  void (CWnd::*mouse)(unsigned, CPoint);
  void (CWnd::*captureChanged)(CWnd*);
  intptr_t (CWnd::*message)(uintptr_t, intptr_t);
  intptr_t (CWnd::*listNotify)(const NmListView&);
  intptr_t (CWnd::*listKeyDown)(const NmListKeyDown&);
  intptr_t (CWnd::*toolNotify)(const NmToolBar&);
  constexpr WindowHandler() : plain(nullptr) {}
  constexpr WindowHandler(int (CWnd::*f)(CreateStruct*)) : create(f) {}
  constexpr WindowHandler(void (CWnd::*f)()) : plain(f) {}
  constexpr WindowHandler(void (CWnd::*f)(unsigned, unsigned, unsigned))
      : character(f) {}
  constexpr WindowHandler(void (CWnd::*f)(CWnd*, CPoint)) : contextMenu(f) {}
  constexpr WindowHandler(void (CWnd::*f)(unsigned, CPoint)) : mouse(f) {}
  constexpr WindowHandler(void (CWnd::*f)(CWnd*)) : captureChanged(f) {}
  constexpr WindowHandler(intptr_t (CWnd::*f)(uintptr_t, intptr_t))
      : message(f) {}
  constexpr WindowHandler(intptr_t (CWnd::*f)(const NmListView&))
      : listNotify(f) {}
  constexpr WindowHandler(intptr_t (CWnd::*f)(const NmListKeyDown&))
      : listKeyDown(f) {}
  constexpr WindowHandler(intptr_t (CWnd::*f)(const NmToolBar&))
      : toolNotify(f) {}
};

// One line of a message map; see Map below for how lines are written.
struct MessageMapEntry {
  enum Kind {
    kEnd,
    kCreate,          // int (CreateStruct*): 0 to go on, -1 to fail
    kVoid,            // void (): WM_NCDESTROY, WM_DESTROY ...
    kChar,            // void (unsigned ch, unsigned repeat, unsigned flags)
    kContextMenu,     // void (CWnd* window, CPoint screen)
    kMouse,           // void (unsigned keyFlags, CPoint client)
    kCaptureChanged,  // void (CWnd* newCapture)
    kMessage,         // intptr_t (uintptr_t wParam, intptr_t lParam)
    kListNotify,      // intptr_t (const NmListView&), reflected WM_NOTIFY
    kListKeyDown,     // intptr_t (const NmListKeyDown&), reflected
    kToolNotify,      // intptr_t (const NmToolBar&), reflected WM_NOTIFY
  };
  Kind kind;
  unsigned message;  // for the reflected kinds, WM_NOTIFY
  int code;          // for the reflected kinds, the notification code
  WindowHandler function;
};

struct MessageMap {
  const MessageMap* base;
  const MessageMapEntry* entries;  // ends with a kEnd entry
};

// Lines of a message map, written in a derived class as
//   Map::Create(&DriveListView::OnCreate),
//   Map::Void(WM_NCDESTROY, &DriveListView::OnNcDestroy),
//   Map::ColumnClick(&DriveListView::OnColumnClick),
//   Map::Message(WM_APP + 1000, &DriveListView::OnSelectGroupMessage),
//   Map::End()
struct Map {
  template <class T, class F>
  static MessageMapEntry Line(MessageMapEntry::Kind kind, unsigned message,
                              int code, F T::*f) {
    // Valid because a map's handlers are only called on an object of the
    // class that lists them.
    return {kind, message, code, WindowHandler(static_cast<F CWnd::*>(f))};
  }
  template <class T>
  static MessageMapEntry Create(int (T::*f)(CreateStruct*)) {
    return Line(MessageMapEntry::kCreate, 0x0001, 0, f);
  }
  template <class T>
  static MessageMapEntry Void(unsigned message, void (T::*f)()) {
    return Line(MessageMapEntry::kVoid, message, 0, f);
  }
  template <class T>
  static MessageMapEntry Char(void (T::*f)(unsigned, unsigned, unsigned)) {
    return Line(MessageMapEntry::kChar, 0x0102, 0, f);
  }
  template <class T>
  static MessageMapEntry ContextMenu(void (T::*f)(CWnd*, CPoint)) {
    return Line(MessageMapEntry::kContextMenu, 0x007B, 0, f);
  }
  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK ...
  template <class T>
  static MessageMapEntry Mouse(unsigned message,
                               void (T::*f)(unsigned, CPoint)) {
    return Line(MessageMapEntry::kMouse, message, 0, f);
  }
  template <class T>
  static MessageMapEntry CaptureChanged(void (T::*f)(CWnd*)) {
    return Line(MessageMapEntry::kCaptureChanged, 0x0215, 0, f);
  }
  // Any message with its raw parameters; its result is the message's.
  template <class T>
  static MessageMapEntry Message(unsigned message,
                                 intptr_t (T::*f)(uintptr_t, intptr_t)) {
    return Line(MessageMapEntry::kMessage, message, 0, f);
  }
  // A list-view notification reflected to the control: LVN_COLUMNCLICK,
  // LVN_ITEMCHANGED, LVN_BEGINDRAG ...; its result is the notification's.
  template <class T>
  static MessageMapEntry ListNotify(int code,
                                    intptr_t (T::*f)(const NmListView&)) {
    return Line(MessageMapEntry::kListNotify, 0x004E, code, f);
  }
  template <class T>
  static MessageMapEntry ListKeyDown(intptr_t (T::*f)(const NmListKeyDown&)) {
    return Line(MessageMapEntry::kListKeyDown, 0x004E, -155, f);
  }
  // A toolbar notification reflected to the bar: TBN_BEGINDRAG,
  // TBN_ENDDRAG ...
  template <class T>
  static MessageMapEntry ToolNotify(int code,
                                    intptr_t (T::*f)(const NmToolBar&)) {
    return Line(MessageMapEntry::kToolNotify, 0x004E, code, f);
  }
  static MessageMapEntry End() {
    return {MessageMapEntry::kEnd, 0, 0, WindowHandler()};
  }
};

class CWnd : public CCmdTarget {
 public:
  CWnd();
  // Destroys the window if it still exists.
  ~CWnd() override;

  // Creates the window: fills a CreateStruct, lets PreCreateWindow change
  // it, creates the window (WM_NCCREATE and WM_CREATE reach this object's
  // map). False when PreCreateWindow or the window's creation failed
  // (WM_CREATE returned -1, for example).
  bool CreateEx(uint32_t exStyle, const char* className, const char* windowName,
                uint32_t style, const CRect& rect, CWnd* parent, unsigned id,
                void* createParams = nullptr);
  bool DestroyWindow();
  // Adjusts the creation parameters; false stops the creation.
  virtual bool PreCreateWindow(CreateStruct& cs);
  // True for a CFrameWnd (the framework has no RTTI).
  virtual bool IsFrameWnd() const { return false; }

  WindowHandle GetSafeHwnd() const { return window; }
  // The object of a window created through CWnd; null for any other.
  static CWnd* FromHandle(WindowHandle window);
  CWnd* GetParent() const;
  // Makes the window a child of `parent` (null: of the desktop); the
  // previous parent.
  CWnd* SetParent(CWnd* parent);
  // The child window with control id `id` (created through CWnd); null
  // when there is none.
  CWnd* GetDlgItem(unsigned id) const;
  unsigned GetDlgCtrlID() const;

  bool ShowWindow(int showCommand);
  bool IsWindowVisible() const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  void GetClientRect(CRect* rect) const;
  // The window's rectangle on the screen, frame included.
  void GetWindowRect(CRect* rect) const;
  bool GetWindowPlacement(WindowPlacement* placement) const;
  // Sets the placement and shows the window with its show command.
  bool SetWindowPlacement(const WindowPlacement& placement);
  bool SetForegroundWindow();
  // WM_SETTEXT's counterpart for the window's title.
  bool SetWindowText(const char* text);
  int GetWindowText(char* buffer, int size) const;
  void ClientToScreen(CPoint* point) const;
  void ScreenToClient(CPoint* point) const;
  void MoveWindow(const CRect& rect, bool repaint = true);
  void Invalidate(bool erase = true);
  void InvalidateRect(const CRect* rect, bool erase = true);
  void UpdateWindow();
  uint32_t GetStyle() const;
  uint32_t GetExStyle() const;

  intptr_t SendMessage(unsigned message, uintptr_t wParam = 0,
                       intptr_t lParam = 0);
  bool PostMessage(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);

  CWnd* SetCapture();
  static bool ReleaseCapture();
  static CWnd* GetCapture();

  // Every message of the window: the map's handler, else DefWindowProc.
  virtual intptr_t WindowProc(unsigned message, uintptr_t wParam,
                              intptr_t lParam);
  // The default handling: the control's own procedure for a control,
  // DefWindowProc for any other window.
  virtual intptr_t DefWindowProc(unsigned message, uintptr_t wParam,
                                 intptr_t lParam);
  // The default handling of the message now being handled; called from a
  // handler that wants it in addition to its own work.
  intptr_t Default();

  // A notification the parent got from this window, reflected: true when
  // this object's map handles it, with the result in *result.
  virtual bool OnChildNotify(unsigned message, uintptr_t wParam,
                             intptr_t lParam, intptr_t* result);
  // WM_COMMAND from a menu, an accelerator or a control: offered to
  // OnCmdMsg. True when handled.
  virtual bool OnCommand(uintptr_t wParam, intptr_t lParam);

  // This class's message map; a derived class overrides it to return its
  // own, whose base is the parent class's.
  virtual const MessageMap* GetMessageMap() const;
  static const MessageMap messageMap;

 protected:
  // Runs the map's handler for the message; false when none is listed.
  bool DispatchMessageMap(const MessageMap* map, unsigned message,
                          uintptr_t wParam, intptr_t lParam, intptr_t* result);

 private:
  friend struct WindowBackend;
  WindowHandle window = 0;
  // The procedure the window had before ours (win32: the control's).
  uintptr_t defaultProcedure = 0;
  // The message now being handled, for Default().
  struct CurrentMessage {
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
  } current = {0, 0, 0};
};
