// CWnd over real windows. Every window CreateEx makes is of a superclass:
// the class asked for (a system control such as SysListView32, or a class
// the program registered) registered once more under a derived name with
// our procedure, so that every message, WM_NCCREATE and WM_CREATE
// included, reaches the window's object; the class's own procedure is the
// default handling. A window finds its object through a window property.
#include <string.h>

#include "framework/WndBackend.h"
#include "framework/win32/Win32Wnd.h"

namespace {

// The property that holds a window's object.
const char objectProperty[] = "Pelmora.CWnd";
// The derived class names are the original ones behind this prefix.
const char superclassPrefix[] = "Pelmora.";
const size_t prefixLength = sizeof superclassPrefix - 1;
const int classNameSize = 64;
// Enough for every class a program of ours creates windows of.
const int superclassLimit = 16;

struct Superclass {
  char derived[prefixLength + classNameSize];
  WNDPROC procedure;  // the original class's
};
Superclass superclasses[superclassLimit];
int superclassCount = 0;

// The object CreateEx is making a window for, until that window's first
// message (WM_GETMINMAXINFO or WM_NCCREATE) ties the two together.
CWnd* beingCreated = nullptr;

// Class names compare without regard to case, as Windows compares them.
bool SameClassName(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a, cb = *b;
    if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 32);
    if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 32);
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

// A class name given as an atom (MAKEINTATOM) rather than a string.
bool IsAtom(const char* name) {
  return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

LRESULT CALLBACK SuperclassProcedure(HWND, UINT, WPARAM, LPARAM);

// The superclass of a class, registered at its first use; null when the
// class does not exist or cannot be superclassed.
const Superclass* SuperclassOf(const char* className) {
  if (className == nullptr || IsAtom(className)) return nullptr;
  for (int i = 0; i < superclassCount; ++i) {
    if (SameClassName(superclasses[i].derived + prefixLength, className))
      return &superclasses[i];
  }
  const size_t length = strlen(className);
  if (superclassCount == superclassLimit || length == 0 ||
      length >= classNameSize)
    return nullptr;
  // The program's own classes first, then the system's.
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc;
  if (!GetClassInfoA(instance, className, &wc) &&
      !GetClassInfoA(nullptr, className, &wc))
    return nullptr;
  Superclass& s = superclasses[superclassCount];
  memcpy(s.derived, superclassPrefix, prefixLength);
  memcpy(s.derived + prefixLength, className, length + 1);
  s.procedure = wc.lpfnWndProc;
  wc.lpfnWndProc = SuperclassProcedure;
  wc.hInstance = instance;
  wc.lpszClassName = s.derived;
  // Ours belongs to this program alone.
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  if (RegisterClassA(&wc) == 0) return nullptr;
  ++superclassCount;
  return &s;
}

// The original procedure of one of our superclasses, found by the
// window's class; DefWindowProcA if the class is not ours.
WNDPROC OriginalProcedure(HWND window) {
  char name[prefixLength + classNameSize];
  if (GetClassNameA(window, name, sizeof name) > 0) {
    for (int i = 0; i < superclassCount; ++i) {
      if (SameClassName(superclasses[i].derived, name))
        return superclasses[i].procedure;
    }
  }
  return DefWindowProcA;
}

// The procedure of every superclass: the message goes to the window's
// object; after WM_NCDESTROY, the last message, the object forgets the
// window.
LRESULT CALLBACK SuperclassProcedure(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
  CWnd* object = static_cast<CWnd*>(GetPropA(window, objectProperty));
  if (object == nullptr && beingCreated != nullptr) {
    object = beingCreated;
    beingCreated = nullptr;
    if (SetPropA(window, objectProperty, object)) {
      WindowBackend::Handle(object) = FromHwnd(window);
    } else {
      // CreateEx sees the window untied and destroys it.
      object = nullptr;
    }
  }
  if (object == nullptr)
    return CallWindowProcA(OriginalProcedure(window), window, message, wParam,
                           lParam);
  const LRESULT result = object->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropA(window, objectProperty);
    WindowBackend::Handle(object) = 0;
  }
  return result;
}

CRect ToCRect(const RECT& r) { return CRect(r.left, r.top, r.right, r.bottom); }

}  // namespace

CWnd::CWnd() {}

CWnd::~CWnd() {
  if (window == 0) return;
  HWND h = ToHwnd(window);
  ::DestroyWindow(h);
  // A window DestroyWindow could not end (another thread's, say) must not
  // lead to this object any longer.
  if (window != 0) {
    RemovePropA(h, objectProperty);
    window = 0;
  }
}

bool CWnd::CreateEx(uint32_t exStyle, const char* className,
                    const char* windowName, uint32_t style, const CRect& rect,
                    CWnd* parent, unsigned id, void* createParams) {
  if (window != 0) return false;
  CreateStruct cs;
  cs.createParams = createParams;
  cs.parent = parent != nullptr ? parent->window : 0;
  cs.id = id;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.Width();
  cs.cy = rect.Height();
  cs.style = style;
  cs.windowName = windowName != nullptr ? windowName : "";
  cs.className = className != nullptr ? className : "";
  cs.exStyle = exStyle;
  if (!PreCreateWindow(cs)) return false;
  const Superclass* superclass = SuperclassOf(cs.className);
  if (superclass == nullptr) return false;

  defaultProcedure = reinterpret_cast<uintptr_t>(superclass->procedure);
  // A top-level window's hMenu would be a menu handle: only children get
  // their id there.
  HMENU menu = (cs.style & WS_CHILD)
                   ? reinterpret_cast<HMENU>(static_cast<uintptr_t>(cs.id))
                   : nullptr;
  beingCreated = this;
  HWND created =
      CreateWindowExA(cs.exStyle, superclass->derived, cs.windowName, cs.style,
                      cs.x, cs.y, cs.cx, cs.cy, ToHwnd(cs.parent), menu,
                      GetModuleHandleA(nullptr), cs.createParams);
  beingCreated = nullptr;
  if (created != nullptr && window == FromHwnd(created)) return true;
  if (created != nullptr) {
    // Never tied to this object.
    ::DestroyWindow(created);
  } else if (window != 0) {
    // Failed after its first message, without the WM_NCDESTROY that
    // normally unties it.
    RemovePropA(ToHwnd(window), objectProperty);
  }
  window = 0;
  return false;
}

bool CWnd::DestroyWindow() {
  if (window == 0) return false;
  return ::DestroyWindow(ToHwnd(window)) != 0;
}

CWnd* CWnd::FromHandle(WindowHandle handle) {
  if (handle == 0) return nullptr;
  HWND h = ToHwnd(handle);
  // Another process's window may carry the same property; its value means
  // nothing here.
  DWORD process = 0;
  if (GetWindowThreadProcessId(h, &process) == 0 ||
      process != GetCurrentProcessId())
    return nullptr;
  return static_cast<CWnd*>(GetPropA(h, objectProperty));
}

CWnd* CWnd::GetParent() const {
  if (window == 0) return nullptr;
  return FromHandle(FromHwnd(::GetParent(ToHwnd(window))));
}

CWnd* CWnd::SetParent(CWnd* parent) {
  if (window == 0) return nullptr;
  return FromHandle(FromHwnd(::SetParent(
      ToHwnd(window), parent != nullptr ? ToHwnd(parent->window) : nullptr)));
}

unsigned CWnd::GetDlgCtrlID() const {
  if (window == 0) return 0;
  return static_cast<unsigned>(::GetDlgCtrlID(ToHwnd(window)));
}

bool CWnd::ShowWindow(int showCommand) {
  if (window == 0) return false;
  return ::ShowWindow(ToHwnd(window), showCommand) != 0;
}

bool CWnd::IsWindowVisible() const {
  return window != 0 && ::IsWindowVisible(ToHwnd(window)) != 0;
}

CWnd* CWnd::SetFocus() {
  if (window == 0) return nullptr;
  return FromHandle(FromHwnd(::SetFocus(ToHwnd(window))));
}

CWnd* CWnd::GetFocus() { return FromHandle(FromHwnd(::GetFocus())); }

void CWnd::GetClientRect(CRect* rect) const {
  RECT r = {0, 0, 0, 0};
  if (window != 0) ::GetClientRect(ToHwnd(window), &r);
  *rect = ToCRect(r);
}

void CWnd::ClientToScreen(CPoint* point) const {
  POINT p = {point->x, point->y};
  ::ClientToScreen(ToHwnd(window), &p);
  *point = CPoint(p.x, p.y);
}

void CWnd::ScreenToClient(CPoint* point) const {
  POINT p = {point->x, point->y};
  ::ScreenToClient(ToHwnd(window), &p);
  *point = CPoint(p.x, p.y);
}

void CWnd::MoveWindow(const CRect& rect, bool repaint) {
  ::MoveWindow(ToHwnd(window), rect.left, rect.top, rect.Width(), rect.Height(),
               repaint);
}

void CWnd::Invalidate(bool erase) {
  ::InvalidateRect(ToHwnd(window), nullptr, erase);
}

void CWnd::InvalidateRect(const CRect* rect, bool erase) {
  if (rect == nullptr) {
    Invalidate(erase);
    return;
  }
  RECT r = {rect->left, rect->top, rect->right, rect->bottom};
  ::InvalidateRect(ToHwnd(window), &r, erase);
}

void CWnd::UpdateWindow() { ::UpdateWindow(ToHwnd(window)); }

uint32_t CWnd::GetStyle() const {
  if (window == 0) return 0;
  return static_cast<uint32_t>(GetWindowLongA(ToHwnd(window), GWL_STYLE));
}

uint32_t CWnd::GetExStyle() const {
  if (window == 0) return 0;
  return static_cast<uint32_t>(GetWindowLongA(ToHwnd(window), GWL_EXSTYLE));
}

intptr_t CWnd::SendMessage(unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  return SendMessageA(ToHwnd(window), message, wParam, lParam);
}

bool CWnd::PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageA(ToHwnd(window), message, wParam, lParam) != 0;
}

CWnd* CWnd::SetCapture() {
  if (window == 0) return nullptr;
  return FromHandle(FromHwnd(::SetCapture(ToHwnd(window))));
}

bool CWnd::ReleaseCapture() { return ::ReleaseCapture() != 0; }

CWnd* CWnd::GetCapture() { return FromHandle(FromHwnd(::GetCapture())); }

intptr_t CWnd::DefWindowProc(unsigned message, uintptr_t wParam,
                             intptr_t lParam) {
  if (window == 0) return 0;
  if (defaultProcedure == 0)
    return DefWindowProcA(ToHwnd(window), message, wParam, lParam);
  return CallWindowProcA(reinterpret_cast<WNDPROC>(defaultProcedure),
                         ToHwnd(window), message, wParam, lParam);
}

void WindowBackend::ReadCreateStruct(intptr_t lParam, CreateStruct* cs) {
  *cs = CreateStruct();
  const CREATESTRUCTA* c = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  if (c == nullptr) return;
  cs->createParams = c->lpCreateParams;
  cs->parent = FromHwnd(c->hwndParent);
  cs->id = static_cast<unsigned>(reinterpret_cast<uintptr_t>(c->hMenu));
  cs->x = c->x;
  cs->y = c->y;
  cs->cx = c->cx;
  cs->cy = c->cy;
  cs->style = static_cast<uint32_t>(c->style);
  cs->windowName = c->lpszName != nullptr ? c->lpszName : "";
  // The class the caller asked for, not our superclass of it.
  if (c->lpszClass != nullptr && !IsAtom(c->lpszClass)) {
    cs->className = c->lpszClass;
    if (strncmp(c->lpszClass, superclassPrefix, prefixLength) == 0)
      cs->className += prefixLength;
  }
  cs->exStyle = static_cast<uint32_t>(c->dwExStyle);
}

bool WindowBackend::ReadNotifyHeader(intptr_t lParam, NotifyHeader* header) {
  *header = NotifyHeader();
  const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
  if (h == nullptr) return false;
  header->from = FromHwnd(h->hwndFrom);
  header->idFrom = h->idFrom;
  header->code = static_cast<int>(h->code);
  return true;
}

void WindowBackend::ReadListNotify(intptr_t lParam, NmListView* nm) {
  *nm = NmListView();
  const NMLISTVIEW* n = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (!ReadNotifyHeader(lParam, &nm->header)) return;
  nm->item = n->iItem;
  nm->subItem = n->iSubItem;
  nm->newState = n->uNewState;
  nm->oldState = n->uOldState;
  nm->changed = n->uChanged;
  nm->point = CPoint(n->ptAction.x, n->ptAction.y);
  nm->lParam = n->lParam;
}

void WindowBackend::ReadListKeyDown(intptr_t lParam, NmListKeyDown* nm) {
  *nm = NmListKeyDown();
  const NMLVKEYDOWN* n = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
  if (!ReadNotifyHeader(lParam, &nm->header)) return;
  nm->vkey = n->wVKey;
  nm->flags = n->flags;
}

void WindowBackend::ReadToolNotify(intptr_t lParam, NmToolBar* nm) {
  *nm = NmToolBar();
  const NMTOOLBARA* n = reinterpret_cast<const NMTOOLBARA*>(lParam);
  if (!ReadNotifyHeader(lParam, &nm->header)) return;
  nm->item = n->iItem;
}
